#pragma once
#include <windows.h>

#include "settings/core/settings_table.h"

// The palette process: the system colour dialog, enlarged, with an info box and a custom-colour
// history. Returns when the dialog has closed and the custom colours are saved.
int RunPaletteDialog(COLORREF colour, HWND owner);

// The hook given to ChooseColorW. Answers 0 to every message, so the dialog's own handling runs too.
UINT_PTR CALLBACK PaletteHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int const kWebButtonId = 12345;
UINT_PTR const kInfoRefreshTimer = 11111;
UINT const kInfoRefreshMs = 200;

extern COLORREF g_customColours[kCustomColourCount];  // slot 0 is the dialog's first box
extern COLORREF g_dialogColour;  // the red, green and blue fields at their last change; the keys copy it
extern HWND g_infoBox;
extern RECT g_infoRect;  // dialog client coordinates
extern int g_controlsCreated;
