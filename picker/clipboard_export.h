#pragma once
#include <windows.h>

// The keys 1 to 4 put a colour on the clipboard as text.

// "#" + hex for '1', "#" + hex + "FF" for '2', the decimal form for '3' and '4'; empty otherwise.
void KeyText(UINT key, COLORREF colour, wchar_t* out /* kColourTextChars */);
// CF_UNICODETEXT only. Waits a moment for a clipboard that another program holds open; what the
// clipboard held stays unless the new text is ready to take its place.
bool CopyText(const wchar_t* text);
void CopyForKey(UINT key, COLORREF colour);
