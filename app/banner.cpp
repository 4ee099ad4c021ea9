#include "app/banner.h"

#include "base/process_state.h"
#include "base/scoped_gdi.h"

Banner g_banner;

// Made at start, as the main dialog object is (app_state.cpp).
Banner::Banner() {}

int DrawBanner(Banner* banner, int bitmapId, int controlId, bool dark) {
    // As a DIB section the bitmap keeps its 8 bits a pixel; as a device bitmap it would take 32.
    ScopedGdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(g_instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info = {};
    if (!loaded.get() || GetObjectW(loaded, sizeof(info), &info) != sizeof(info)) return 0;
    HWND const control = GetDlgItem(banner->owner, controlId);
    RECT client = {};
    GetClientRect(control, &client);
    int const w = client.right;
    int const h = client.bottom;

    // The composed picture keeps the bitmap's 8 bits a pixel and its colour table, which holds both
    // grounds: a quarter of the memory of 32 bits, for as long as the dialog lives.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } header = {};
    header.h.biSize = sizeof(header.h);
    header.h.biWidth = w;
    header.h.biHeight = h;  // bottom-up
    header.h.biPlanes = 1;
    header.h.biCompression = BI_RGB;
    ScopedDC const target = ScopedDC::Compatible(nullptr);
    ScopedDC const source = ScopedDC::Compatible(nullptr);
    ScopedSelect const sourceBitmap(source, loaded);
    header.h.biClrUsed = GetDIBColorTable(source, 0, 256, header.colours);
    header.h.biBitCount = header.h.biClrUsed ? 8 : 32;
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> composed(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!composed.get()) return 0;
    {
        ScopedSelect const targetBitmap(target, composed);
        COLORREF const previous = SetBkColor(target, dark ? kBannerGroundDark : kBannerGroundLight);
        ExtTextOutW(target, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
        SetBkColor(target, previous);
        // Arithmetic shifts: a bitmap wider than the control is centred and cut on both sides.
        BitBlt(target, (w - info.bmWidth) >> 1, (h - info.bmHeight) >> 1, info.bmWidth, info.bmHeight, source,
               0, 0, SRCCOPY);
    }
    HBITMAP const old = banner->picture;
    banner->picture = composed.Detach();
    // The control made its first picture from the template's bitmap, and may show a copy of what it
    // is given: every earlier picture is deleted, each once.
    HGDIOBJ const shown = reinterpret_cast<HGDIOBJ>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    HGDIOBJ const replaced = reinterpret_cast<HGDIOBJ>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner->picture)));
    HGDIOBJ const earlier[] = {old, shown, replaced};
    for (int i = 0; i < 3; ++i) {
        HGDIOBJ const object = earlier[i];
        bool const seen = (i > 0 && object == earlier[0]) || (i > 1 && object == earlier[1]);
        if (object && object != banner->picture && !seen) DeleteObject(object);
    }
    return 1;
}
