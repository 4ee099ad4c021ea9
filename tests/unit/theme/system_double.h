#pragma once
// A stand-in for the system's side of dark mode: the theme code finds its entry points through
// g_themeSystem, and these doubles answer there as a system that the machine is not (Windows 10 in
// dark mode, Windows 8.1, a system without one of the ordinals), recording what the program calls.
// Everything else is passed on to the real system, so windows are still really made and painted.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "theme/dark_controls.h"
#include "theme/dark_mode.h"
#include "theme/uxtheme.h"

namespace theme_test {

DWORD const kTopBits = 0xF0000000;  // set by RtlGetNtVersionNumbers in the build number

// The system a test plays.
struct PlayedSystem {
    DWORD major = 10, minor = 0, build = 19045 | kTopBits;
    bool appsUseDarkMode = true;  // ordinal 132
    bool highContrast = false;
    WORD missingOrdinal = 0;  // 0: every ordinal is there
    bool noCompositionAttribute = false;
    bool noVersionFunction = false;
    bool noUxTheme = false;
    // Themes with colours, given by the doubles instead of the system (whose Wine has no dark ones).
    bool fakeThemes = false;
    COLORREF headerText = 0, itemsViewText = 0, itemsViewFill = 0;
};

struct ThemeCall {
    HWND window;
    std::wstring subApp;  // "<null>" for none
    std::wstring subIds;
};

struct CompositionCall {
    HWND window;
    DWORD attribute;
    BOOL value;
    SIZE_T size;
};

struct Recording {
    std::vector<std::string> calls;  // the dark-mode ordinals called, in order: "104", "135(1)", ...
    std::vector<HWND> allowed;       // windows given to ordinal 133
    std::vector<std::wstring> allowedClasses;  // their classes, read at the call
    std::vector<ThemeCall> themes;             // SetWindowTheme
    std::vector<CompositionCall> compositions;
    int uxThemeLoads = 0;
    int themesOpened = 0, themesClosed = 0;
};

inline PlayedSystem g_played;
inline Recording g_recording;
inline ThemeSystem g_realSystem;

inline std::vector<ThemeCall> ThemeCallsOf(HWND window) {
    std::vector<ThemeCall> calls;
    for (const ThemeCall& call : g_recording.themes)
        if (call.window == window) calls.push_back(call);
    return calls;
}

inline std::wstring OrNull(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring(L"<null>");
}

template <typename Function>
Function RealEntry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(g_realSystem.getProcAddress(module, name)));
}

inline void WINAPI GetVersionDouble(DWORD* major, DWORD* minor, DWORD* build) {
    *major = g_played.major;
    *minor = g_played.minor;
    *build = g_played.build;
}

inline HMODULE LoadUxThemeDouble() {
    ++g_recording.uxThemeLoads;
    return g_played.noUxTheme ? nullptr : g_realSystem.loadUxTheme();
}

inline void WINAPI Ordinal49Double() {
    g_recording.calls.push_back("49");
}
inline void WINAPI RefreshColourPolicyDouble() {
    g_recording.calls.push_back("104");
}
inline BOOLEAN WINAPI ShouldAppsUseDarkModeDouble() {
    g_recording.calls.push_back("132");
    return g_played.appsUseDarkMode;
}
inline BOOLEAN WINAPI AllowDarkModeForWindowDouble(HWND window, BOOLEAN allow) {
    if (!allow) return FALSE;
    g_recording.allowed.push_back(window);
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    g_recording.allowedClasses.push_back(name);
    return TRUE;
}
// Either form of ordinal 135: a flag before build 18362, an app mode from it; both take one value.
inline int WINAPI AppDarkModeDouble(int value) {
    g_recording.calls.push_back("135(" + std::to_string(value) + ")");
    return 0;
}
inline BOOLEAN WINAPI IsDarkModeAllowedForWindowDouble(HWND) {
    g_recording.calls.push_back("137");
    return TRUE;
}

inline BOOL WINAPI SetWindowCompositionAttributeDouble(HWND window, void* data) {
    struct Record {
        DWORD attribute;
        void* data;
        SIZE_T size;
    } const* const record = static_cast<Record*>(data);
    g_recording.compositions.push_back(
        {window, record->attribute, *static_cast<BOOL*>(record->data), record->size});
    return TRUE;
}

inline BOOL WINAPI SystemParametersInfoDouble(UINT action, UINT param, PVOID data, UINT flags) {
    if (action != SPI_GETHIGHCONTRAST) return g_realSystem.systemParametersInfo(action, param, data, flags);
    auto const contrast = static_cast<HIGHCONTRASTW*>(data);
    if (contrast->cbSize != sizeof(HIGHCONTRASTW)) return FALSE;
    contrast->dwFlags = g_played.highContrast ? HCF_HIGHCONTRASTON : 0;
    return TRUE;
}

// Theme handles the doubles give out when they play themes.
inline ThemeHandle const kHeaderTheme = reinterpret_cast<ThemeHandle>(0x4EAD);
inline ThemeHandle const kItemsViewTheme = reinterpret_cast<ThemeHandle>(0x17E5);

inline HRESULT WINAPI SetWindowThemeDouble(HWND window, LPCWSTR subApp, LPCWSTR subIds) {
    g_recording.themes.push_back({window, OrNull(subApp), OrNull(subIds)});
    using Fn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto const real = RealEntry<Fn>(g_realSystem.loadUxTheme(), "SetWindowTheme");
    return real ? real(window, subApp, subIds) : E_FAIL;
}

inline ThemeHandle WINAPI OpenThemeDataDouble(HWND window, LPCWSTR classList) {
    ThemeHandle theme = nullptr;
    if (g_played.fakeThemes) {
        if (lstrcmpW(classList, L"Header") == 0) theme = kHeaderTheme;
        if (lstrcmpW(classList, L"ItemsView") == 0) theme = kItemsViewTheme;
    } else {
        using Fn = ThemeHandle(WINAPI*)(HWND, LPCWSTR);
        auto const real = RealEntry<Fn>(g_realSystem.loadUxTheme(), "OpenThemeData");
        theme = real ? real(window, classList) : nullptr;
    }
    if (theme) ++g_recording.themesOpened;
    return theme;
}

inline HRESULT WINAPI CloseThemeDataDouble(ThemeHandle theme) {
    ++g_recording.themesClosed;
    if (g_played.fakeThemes) return S_OK;
    using Fn = HRESULT(WINAPI*)(ThemeHandle);
    auto const real = RealEntry<Fn>(g_realSystem.loadUxTheme(), "CloseThemeData");
    return real ? real(theme) : E_FAIL;
}

inline HRESULT WINAPI GetThemeColorDouble(ThemeHandle theme, int part, int state, int property,
                                          COLORREF* out) {
    if (!g_played.fakeThemes) {
        using Fn = HRESULT(WINAPI*)(ThemeHandle, int, int, int, COLORREF*);
        auto const real = RealEntry<Fn>(g_realSystem.loadUxTheme(), "GetThemeColor");
        return real ? real(theme, part, state, property, out) : E_FAIL;
    }
    int const kTextColour = 3803;
    int const kFillColour = 3802;
    if (theme == kHeaderTheme && part == 1 && state == 0 && property == kTextColour) {
        *out = g_played.headerText;
        return S_OK;
    }
    if (theme == kItemsViewTheme && part == 0 && state == 0 && property == kTextColour) {
        *out = g_played.itemsViewText;
        return S_OK;
    }
    if (theme == kItemsViewTheme && part == 0 && state == 0 && property == kFillColour) {
        *out = g_played.itemsViewFill;
        return S_OK;
    }
    return E_FAIL;
}

template <typename Function>
FARPROC Entry(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

inline FARPROC WINAPI GetProcAddressDouble(HMODULE module, LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        WORD const ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(name));
        if (ordinal == g_played.missingOrdinal) return nullptr;
        switch (ordinal) {
            case 49: return Entry(Ordinal49Double);
            case 104: return Entry(RefreshColourPolicyDouble);
            case 132: return Entry(ShouldAppsUseDarkModeDouble);
            case 133: return Entry(AllowDarkModeForWindowDouble);
            case 135: return Entry(AppDarkModeDouble);
            case 137: return Entry(IsDarkModeAllowedForWindowDouble);
        }
        return nullptr;
    }
    std::string const entry = name;
    if (entry == "RtlGetNtVersionNumbers")
        return g_played.noVersionFunction ? nullptr : Entry(GetVersionDouble);
    if (entry == "SetWindowCompositionAttribute")
        return g_played.noCompositionAttribute ? nullptr : Entry(SetWindowCompositionAttributeDouble);
    if (entry == "SetWindowTheme") return Entry(SetWindowThemeDouble);
    if (entry == "OpenThemeData") return Entry(OpenThemeDataDouble);
    if (entry == "CloseThemeData") return Entry(CloseThemeDataDouble);
    if (entry == "GetThemeColor") return Entry(GetThemeColorDouble);
    return g_realSystem.getProcAddress(module, name);
}

// Puts the doubles in the system's place for one test, and the system back afterwards.
class SystemDoubleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_realSystem = g_themeSystem;
        g_played = PlayedSystem{};
        g_recording = Recording{};
        g_themeSystem = {LoadUxThemeDouble, GetProcAddressDouble, SystemParametersInfoDouble};
    }

    void TearDown() override {
        if (g_darkMode.creationHook) UnhookWindowsHookEx(g_darkMode.creationHook);
        g_darkMode = DarkModeState{};
        g_headerTextColour = RGB(255, 255, 255);
        g_themeSystem = g_realSystem;
    }

    // Windows 10 in dark mode, decided as at start-up, with the creation hook on this thread.
    static void StartDarkWindows10() {
        StartDarkMode(GetModuleHandleW(nullptr), 0);
        ASSERT_TRUE(DarkModeInEffect());
        ASSERT_NE(nullptr, g_darkMode.creationHook);
        g_recording = Recording{};
    }
};

}  // namespace theme_test
