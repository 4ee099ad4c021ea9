#include "theme/dark_mode.h"

#include "theme/creation_hook.h"
#include "theme/dark_controls.h"
#include "theme/uxtheme.h"

DarkModeState g_darkMode = {};

namespace {

DWORD const kBuildMask = 0x0FFFFFFF;
DWORD const kDarkColoursAttribute = 26;
wchar_t const kDarkColoursProperty[] = L"UseImmersiveDarkModeColors";
int const kAllowDarkAppMode = 1;
int const kDefaultAppMode = 0;

// The record SetWindowCompositionAttribute takes.
struct CompositionAttributeData {
    DWORD attribute;
    void* data;
    SIZE_T size;
};

template <typename Function>
Function FindOrdinal(HMODULE module, WORD ordinal) {
    return GetProcedure<Function>(module, MAKEINTRESOURCEA(ordinal), g_themeSystem.getProcAddress);
}

// Steps that stop early leave dark mode unsupported.
void DetectDarkMode() {
    using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    auto const getVersion = GetProcedure<RtlGetNtVersionNumbersFn>(
        GetModuleHandleW(L"ntdll.dll"), "RtlGetNtVersionNumbers", g_themeSystem.getProcAddress);
    if (!getVersion) return;
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    getVersion(&major, &minor, &build);
    g_darkMode.build = build & kBuildMask;
    if (major < 6) return;
    HMODULE const uxTheme = g_themeSystem.loadUxTheme();
    if (!uxTheme || major < 10) return;

    DarkModeEntries found = {};
    found.ordinal49 = FindOrdinal<FARPROC>(uxTheme, 49);
    found.refreshImmersiveColorPolicyState =
        FindOrdinal<decltype(found.refreshImmersiveColorPolicyState)>(uxTheme, 104);
    found.shouldAppsUseDarkMode = FindOrdinal<decltype(found.shouldAppsUseDarkMode)>(uxTheme, 132);
    found.allowDarkModeForWindow = FindOrdinal<decltype(found.allowDarkModeForWindow)>(uxTheme, 133);
    if (g_darkMode.build < kAppModeBuild)
        found.allowDarkModeForApp = FindOrdinal<decltype(found.allowDarkModeForApp)>(uxTheme, 135);
    else
        found.setPreferredAppMode = FindOrdinal<decltype(found.setPreferredAppMode)>(uxTheme, 135);
    found.isDarkModeAllowedForWindow = FindOrdinal<decltype(found.isDarkModeAllowedForWindow)>(uxTheme, 137);
    found.setWindowCompositionAttribute = GetProcedure<decltype(found.setWindowCompositionAttribute)>(
        GetModuleHandleW(L"user32.dll"), "SetWindowCompositionAttribute", g_themeSystem.getProcAddress);
    bool const haveAppEntry = found.allowDarkModeForApp || found.setPreferredAppMode;
    if (!found.ordinal49 || !found.refreshImmersiveColorPolicyState || !found.shouldAppsUseDarkMode ||
        !found.allowDarkModeForWindow || !haveAppEntry || !found.isDarkModeAllowedForWindow)
        return;
    g_darkMode.entries = found;
    g_darkMode.supported = true;
}

}  // namespace

void InitializeDarkMode() {
    g_darkMode = DarkModeState{};
    DetectDarkMode();
    if (!g_darkMode.supported) return;
    AllowDarkModeForProcess(true);
    // The process's colour policy must be refreshed before the system is asked for its mode.
    g_darkMode.entries.refreshImmersiveColorPolicyState();
    g_darkMode.enabled = g_darkMode.entries.shouldAppsUseDarkMode() && !IsHighContrastOn();
}

void StartDarkMode(HINSTANCE instance, int switchedOff) {
    InitializeDarkMode();
    g_darkMode.switchedOff = switchedOff;
    if (switchedOff == 0) InstallCreationHook(instance);
}

HHOOK InstallCreationHook(HINSTANCE instance) {
    if (!g_darkMode.supported || !g_darkMode.enabled) return nullptr;
    // Set here rather than by an initial value: the exe would carry a section for that alone.
    g_headerTextColour = RGB(255, 255, 255);
    // Never removed: it ends with the process.
    g_darkMode.creationHook = SetWindowsHookExW(WH_CBT, CreationHook, instance, GetCurrentThreadId());
    return g_darkMode.creationHook;
}

bool DarkModeInEffect() {
    return g_darkMode.supported && g_darkMode.enabled && g_darkMode.switchedOff == 0;
}

bool IsHighContrastOn() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    return g_themeSystem.systemParametersInfo(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void AllowDarkModeForProcess(bool allow) {
    DarkModeEntries const& entries = g_darkMode.entries;
    if (entries.allowDarkModeForApp)
        entries.allowDarkModeForApp(allow);
    else if (entries.setPreferredAppMode)
        entries.setPreferredAppMode(allow ? kAllowDarkAppMode : kDefaultAppMode);
}

void AllowDarkModeForWindow(HWND window) {
    if (g_darkMode.supported && g_darkMode.entries.allowDarkModeForWindow)
        g_darkMode.entries.allowDarkModeForWindow(window, TRUE);
}

void RefreshTitleBar(HWND window) {
    if (!g_darkMode.supported) return;
    DarkModeEntries const& entries = g_darkMode.entries;
    BOOL dark =
        entries.isDarkModeAllowedForWindow(window) && entries.shouldAppsUseDarkMode() && !IsHighContrastOn();
    if (g_darkMode.build < kAppModeBuild) {
        SetPropW(window, kDarkColoursProperty, reinterpret_cast<HANDLE>(INT_PTR(dark)));
    } else if (entries.setWindowCompositionAttribute) {
        CompositionAttributeData data = {kDarkColoursAttribute, &dark, sizeof(dark)};
        entries.setWindowCompositionAttribute(window, &data);
    }
}
