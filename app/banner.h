#pragma once
#include <windows.h>

// The picture at the top of the main dialog: a banner bitmap centred on a ground of the dialog's
// mode, composed once into a bitmap of the banner control's size.
class Banner {
  public:
    Banner();
    virtual ~Banner() {
        if (picture) DeleteObject(picture);
    }
    HWND owner = nullptr;       // the main dialog
    HBITMAP picture = nullptr;  // the composed banner the control shows
};

extern Banner g_banner;

COLORREF const kBannerGroundLight = RGB(251, 251, 251);
COLORREF const kBannerGroundDark = RGB(0, 0, 0);

// Composes bitmap resource bitmapId on the ground of the current mode and shows it in control
// controlId of the banner's owner. 0, with nothing changed, when the bitmap cannot be loaded.
int DrawBanner(Banner* banner, int bitmapId, int controlId, bool dark);
