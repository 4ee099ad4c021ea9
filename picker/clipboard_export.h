#pragma once
#include <windows.h>

// The keys 1 to 4 put the current colour on the clipboard as text.

// "#" + hex for '1', "#" + hex + "FF" for '2', the decimal form for '3' and '4'; empty otherwise.
void KeyText(UINT key, wchar_t* out /* kColourTextChars */);
// CF_UNICODETEXT only. Waits a moment for a clipboard that another program holds open.
bool CopyText(const wchar_t* text);
void CopyForKey(UINT key);
// Copy, then hide the picker.
void CopyAndEnd(UINT key);
