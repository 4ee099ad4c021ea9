#include "base/system_library.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictLibrarySearch() {
    HMODULE const kernel = GetModuleHandleW(L"kernel32.dll");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto const setDefault = GetProcedure<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Older systems: at least take the current directory out of the search.
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    auto const setDirectory = GetProcedure<SetDllDirectoryFn>(kernel, "SetDllDirectoryW");
    if (setDirectory) setDirectory(L"");
}

namespace {

// Runs before every other static initialiser: the instance message and the picker object already
// call into user32, whose first use loads the display driver and, in Wine, uxtheme.dll by name.
struct LibrarySearchRestriction {
    LibrarySearchRestriction() { RestrictLibrarySearch(); }
} const g_librarySearchRestriction __attribute__((init_priority(101)));

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    UINT const length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    int const nameLength = lstrlenW(name);
    if (length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSideBySideLibrary(const wchar_t* name) {
    HMODULE const module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse it; the default search is restricted there already.
    return module ? module : LoadLibraryW(name);
}
