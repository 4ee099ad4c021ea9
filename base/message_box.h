#pragma once
#include <windows.h>

// The one way the program tells the user something: a message box with the program's own text.
// Without an owner it comes to the front, since the program may have no visible window at all
// (in the tray, or before any window exists).
int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
