#pragma once
#include <windows.h>

// Dark mode follows the system's dark app mode on Windows 10 and later. It is decided once, at
// start-up, and never again: a change of the system's mode shows at the next start. Nothing of it
// is bound at load time; the dark-mode entries of UxTheme exist only as ordinals.

// From this build the process asks for dark mode by app mode and title bars turn dark through the
// window composition attribute; before it, by a flag and a window property.
DWORD const kAppModeBuild = 18362;

// The dark-mode entry points as found at start-up; all null unless every required one was found.
struct DarkModeEntries {
    FARPROC ordinal49;                                         // required, never called
    void(WINAPI* refreshImmersiveColorPolicyState)();          // 104
    BOOLEAN(WINAPI* shouldAppsUseDarkMode)();                  // 132
    BOOLEAN(WINAPI* allowDarkModeForWindow)(HWND, BOOLEAN);    // 133
    BOOLEAN(WINAPI* allowDarkModeForApp)(BOOLEAN);             // 135 before kAppModeBuild
    int(WINAPI* setPreferredAppMode)(int);                     // 135 from kAppModeBuild: 1 allows dark
    BOOLEAN(WINAPI* isDarkModeAllowedForWindow)(HWND);         // 137
    BOOL(WINAPI* setWindowCompositionAttribute)(HWND, void*);  // user32 by name; optional
};

struct DarkModeState {
    DWORD build;         // without the top four bits that RtlGetNtVersionNumbers sets
    bool supported;      // every required entry was found on Windows 10 or later
    bool enabled;        // the system asks for dark apps and high contrast is off
    int switchedOff;     // "disable_dark_theme"
    HHOOK creationHook;  // on the user-interface thread, or none
    DarkModeEntries entries;
};
extern DarkModeState g_darkMode;

// Start-up's dark-mode step, once the process is DPI aware: decides dark mode and, unless the user
// has switched it off, installs the creation hook for the module.
void StartDarkMode(HINSTANCE instance, int switchedOff);

// Finds every entry before calling any: on systems without them, entries of the same numbers may be
// other functions.
void InitializeDarkMode();

// Installs the creation hook when dark mode is supported and enabled; returns it, or none.
HHOOK InstallCreationHook(HINSTANCE instance);

// Supported, enabled, and not switched off by the user: the windows of the program are dark.
bool DarkModeInEffect();

bool IsHighContrastOn();
void AllowDarkModeForProcess(bool allow);
void AllowDarkModeForWindow(HWND window);
// Makes the window's title bar dark or light, as the system's dark mode and the window say.
void RefreshTitleBar(HWND window);
