#pragma once
#include <windows.h>

#include "base/core/growing_text.h"

// The one way the program tells the user something: a message box with the program's own text.
// Without an owner it comes to the front, since the program may have no visible window at all
// (in the tray, or before any window exists). A text in Arabic, Persian or Hebrew reads from right
// to left.
int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// A step that failed, told in the current language: what failed, the file it concerns (null:
// none) and, for a non-zero error, why in the system's own words. An error box with an OK button.
void ShowFailure(HWND owner, const wchar_t* caption, const wchar_t* what, const wchar_t* path, DWORD error);

// Appends a file's path to a message. A message box widens to its longest unbroken word, so a long
// path is broken into lines after a backslash (or, in a name without one, every 96 characters).
void AppendPath(GrowingText* text, const wchar_t* path);
