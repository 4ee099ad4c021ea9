#pragma once
#include <windows.h>

// The palette process: the system colour dialog, enlarged, with an info box and a custom-colour
// history. Returns when the dialog has closed and the custom colours are saved.
int RunPaletteDialog(COLORREF colour, HWND owner);
