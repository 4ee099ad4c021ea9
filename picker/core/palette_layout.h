#pragma once

#include "picker/core/picker_geometry.h"

// Where the colour dialog puts its info box and web button. Plain numbers, so that the rules can
// be checked for any display without one.

struct PaletteSize {
    int width, height;
};

struct PaletteLayout {
    PaletteSize window;  // the enlarged dialog
    PickerRect info;     // the info box, in client coordinates; the button lies right below it
    bool scrolls;        // the info box may be shorter than its text
};

// The dialog grows to one and a half times its height and 40 pixels more, the info box below its
// own controls and the button (buttonHeight tall) below that. Where that would leave the work area
// (large fonts, high DPI) the info box goes beside the controls, as tall as they are, if the room
// there is at least narrowest wide (the values' lines fit; the help lines wrap); where it is not,
// the dialog is as tall as the work area and the info box scrolls.
PaletteLayout LayOutPaletteDialog(PaletteSize window, PaletteSize client, PaletteSize work, int buttonHeight,
                                  int narrowest);
