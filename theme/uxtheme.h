#pragma once
#include <windows.h>

// The visual-styles library, loaded from the system folder on first use and kept for the rest of
// the run. Each wrapper gives a neutral answer when the library or its function is missing.
HRESULT SetThemeOfWindow(HWND window, const wchar_t* subAppName, const wchar_t* subIdList);
