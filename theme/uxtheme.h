#pragma once
#include <windows.h>

#include "base/system_library.h"

// How the theme code reaches the system's optional entry points: UxTheme.dll and the dark-mode
// entries are never bound at load time. These are the system's own; a test may put stand-ins here
// to play a system that the machine is not.
struct ThemeSystem {
    HMODULE (*loadUxTheme)();                                     // from the system folder, kept
    EntryLookup getProcAddress;                                   // by name or by ordinal
    BOOL(WINAPI* systemParametersInfo)(UINT, UINT, PVOID, UINT);  // the high-contrast query
};
extern ThemeSystem g_themeSystem;

// The visual-styles library, loaded on first use and kept for the rest of the run; each function is
// looked up by name on every call. Each wrapper gives a neutral answer when the library or its
// function is missing: 0, no theme, or a failure result with the colour untouched.
using ThemeHandle = HANDLE;
HRESULT SetThemeOfWindow(HWND window, const wchar_t* subAppName, const wchar_t* subIdList);
ThemeHandle OpenThemeOfWindow(HWND window, const wchar_t* classList);
HRESULT CloseTheme(ThemeHandle theme);
HRESULT ReadThemeColour(ThemeHandle theme, int part, int state, int property, COLORREF* colour);
