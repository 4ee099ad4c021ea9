#include "theme/uxtheme.h"

#include "base/system_library.h"

namespace {

HMODULE UxTheme() {
    static HMODULE s_module;
    if (!s_module) s_module = LoadSystemLibrary(L"UxTheme.dll");
    return s_module;
}

}  // namespace

HRESULT SetThemeOfWindow(HWND window, const wchar_t* subAppName, const wchar_t* subIdList) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto const setTheme = GetProcedure<SetWindowThemeFn>(UxTheme(), "SetWindowTheme");
    return setTheme ? setTheme(window, subAppName, subIdList) : 0;
}
