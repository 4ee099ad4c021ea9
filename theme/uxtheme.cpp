#include "theme/uxtheme.h"

#include "base/system_library.h"

namespace {

HMODULE LoadUxThemeOnce() {
    static HMODULE s_module;
    if (!s_module) s_module = LoadSystemLibrary(L"UxTheme.dll");
    return s_module;
}

template <typename Function>
Function FindUxThemeEntry(const char* name) {
    return GetProcedure<Function>(g_themeSystem.loadUxTheme(), name, g_themeSystem.getProcAddress);
}

}  // namespace

ThemeSystem g_themeSystem = {LoadUxThemeOnce, GetProcAddress, SystemParametersInfoW};

HRESULT SetThemeOfWindow(HWND window, const wchar_t* subAppName, const wchar_t* subIdList) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto const setTheme = FindUxThemeEntry<SetWindowThemeFn>("SetWindowTheme");
    return setTheme ? setTheme(window, subAppName, subIdList) : 0;
}

ThemeHandle OpenThemeOfWindow(HWND window, const wchar_t* classList) {
    using OpenThemeDataFn = ThemeHandle(WINAPI*)(HWND, LPCWSTR);
    auto const open = FindUxThemeEntry<OpenThemeDataFn>("OpenThemeData");
    return open ? open(window, classList) : nullptr;
}

HRESULT CloseTheme(ThemeHandle theme) {
    using CloseThemeDataFn = HRESULT(WINAPI*)(ThemeHandle);
    auto const close = FindUxThemeEntry<CloseThemeDataFn>("CloseThemeData");
    return close ? close(theme) : 0;
}

HRESULT ReadThemeColour(ThemeHandle theme, int part, int state, int property, COLORREF* colour) {
    using GetThemeColorFn = HRESULT(WINAPI*)(ThemeHandle, int, int, int, COLORREF*);
    auto const getColour = FindUxThemeEntry<GetThemeColorFn>("GetThemeColor");
    return getColour ? getColour(theme, part, state, property, colour) : E_FAIL;
}
