#include "picker/core/palette_layout.h"

namespace {

int const kExtraHeight = 40;

int Smaller(int a, int b) {
    return a < b ? a : b;
}

}  // namespace

PaletteLayout LayOutPaletteDialog(PaletteSize window, PaletteSize client, PaletteSize work, int buttonHeight,
                                  int narrowest) {
    int const frameWidth = window.width - client.width;
    int const frameHeight = window.height - client.height;
    int const grown = int(window.height * 1.5);
    PaletteLayout layout = {};
    layout.window = {window.width, grown + kExtraHeight};
    if (layout.window.height <= work.height) {
        // Below the dialog's controls. The 40 extra pixels leave room for the button as long as the
        // frame is thinner than that; a thicker frame would cut the button off, so the info box
        // gives way instead.
        int const clientBottom = layout.window.height - frameHeight;
        layout.info = {0, client.height, client.width, Smaller(grown, clientBottom) - buttonHeight};
        return layout;
    }
    // A column beside the controls, as wide as they are where the work area allows; the help lines
    // wrap in it.
    int const beside = Smaller(work.width - window.width, client.width);
    if (beside >= narrowest) {
        layout.window = {window.width + beside, window.height};
        layout.info = {client.width, 0, client.width + beside, client.height - buttonHeight};
        return layout;
    }
    layout.window = {window.width, work.height};
    int const bottom = work.height - frameHeight - buttonHeight;
    layout.info = {0, client.height, window.width - frameWidth,
                   bottom > client.height ? bottom : client.height};
    layout.scrolls = true;
    return layout;
}
