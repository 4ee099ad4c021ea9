#pragma once
#include <windows.h>

#include <stdint.h>

#include "settings/core/settings_table.h"

// The palette process: the system colour dialog, enlarged, with an info box and a custom-colour
// history. Returns when the dialog has closed and the custom colours are saved.
int RunPaletteDialog(COLORREF colour, HWND owner);

// One colour dialog's own state. Its opener makes it and hands it to the hook through the dialog's
// CHOOSECOLORW (lCustData); the dialog keeps it from WM_INITDIALOG on.
struct PaletteState {
    COLORREF customColours[kCustomColourCount];  // slot 0 is the dialog's first box
    uint32_t openedColours[kCustomColourCount];  // the boxes as the dialog opened
    COLORREF colour;  // the red, green and blue fields at their last change; the keys copy it
    HWND infoBox;
    RECT infoRect;  // dialog client coordinates
};

// The hook given to ChooseColorW. Answers 0 to every message, so the dialog's own handling runs too.
UINT_PTR CALLBACK PaletteHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int const kWebButtonId = 12345;
UINT_PTR const kInfoRefreshTimer = 11111;
UINT const kInfoRefreshMs = 200;
