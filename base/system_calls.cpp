#include "base/system_calls.h"

#include "base/system_library.h"

namespace {

HMODULE Library(HMODULE* cache, const wchar_t* name) {
    if (!*cache) *cache = LoadSystemLibrary(name);
    return *cache;
}

HMODULE Shell32() {
    static HMODULE s_module;
    return Library(&s_module, L"shell32.dll");
}
HMODULE Ole32() {
    static HMODULE s_module;
    return Library(&s_module, L"ole32.dll");
}
HMODULE OleAut32() {
    static HMODULE s_module;
    return Library(&s_module, L"oleaut32.dll");
}

// Looked up once; the pointer stays for the run, as the library does.
template <typename Function>
Function Entry(HMODULE module, const char* name, Function* cache) {
    if (!*cache) *cache = GetProcedure<Function>(module, name);
    return *cache;
}

}  // namespace

HINSTANCE ShellOpen(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                    const wchar_t* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static Fn s_entry;
    Fn const call = Entry(Shell32(), "ShellExecuteW", &s_entry);
    return call ? call(owner, verb, file, parameters, directory, show) : nullptr;
}

BOOL ShellOpenExtended(SHELLEXECUTEINFOW* info) {
    using Fn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    static Fn s_entry;
    Fn const call = Entry(Shell32(), "ShellExecuteExW", &s_entry);
    if (call) return call(info);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}

BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
    using Fn = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAW*);
    static Fn s_entry;
    Fn const call = Entry(Shell32(), "Shell_NotifyIconW", &s_entry);
    return call ? call(message, data) : FALSE;
}

UINT_PTR ShellAppBarMessage(DWORD message, APPBARDATA* data) {
    using Fn = UINT_PTR(WINAPI*)(DWORD, APPBARDATA*);
    static Fn s_entry;
    Fn const call = Entry(Shell32(), "SHAppBarMessage", &s_entry);
    return call ? call(message, data) : 0;
}

HRESULT ComInitialize() {
    using Fn = HRESULT(WINAPI*)(void*);
    static Fn s_entry;
    Fn const call = Entry(Ole32(), "CoInitialize", &s_entry);
    return call ? call(nullptr) : E_NOTIMPL;
}

HRESULT OleInitializeForThread() {
    using Fn = HRESULT(WINAPI*)(void*);
    static Fn s_entry;
    Fn const call = Entry(Ole32(), "OleInitialize", &s_entry);
    return call ? call(nullptr) : E_NOTIMPL;
}

HRESULT VariantRound(VARIANT* in, int decimals, VARIANT* out) {
    using Fn = HRESULT(WINAPI*)(VARIANT*, int, VARIANT*);
    static Fn s_entry;
    Fn const call = Entry(OleAut32(), "VarRound", &s_entry);
    return call ? call(in, decimals, out) : E_NOTIMPL;
}

HRESULT VariantRelease(VARIANT* variant) {
    using Fn = HRESULT(WINAPI*)(VARIANT*);
    static Fn s_entry;
    Fn const call = Entry(OleAut32(), "VariantClear", &s_entry);
    return call ? call(variant) : E_NOTIMPL;
}
