#pragma once
// The main dialog moved onto a monitor of another scale, which Wine 8 cannot show: WM_DPICHANGED is
// sent as the system sends it, with the rectangle it suggests. For a dialog the system asks the
// dialog manager for the size, which takes it from the template: 388 x 201 dialog units of the
// template's font ("MS Shell Dlg", 8 points) at the new DPI, in the window's frame.
#include <windows.h>

namespace dpi_change {

int const kTemplatePoints = 8;
SIZE const kDialogUnits = {388, 201};

// The dialog's font at dpi, as a dialog made at that DPI has it: 8 points, -MulDiv(8, dpi, 72)
// pixels high. The caller deletes it.
inline HFONT TemplateFontAt(HWND dialog, UINT dpi) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfHeight = -MulDiv(kTemplatePoints, int(dpi), 72);
    return CreateFontIndirectW(&font);
}

// A font's dialog base units as Microsoft describes them for a dialog with a font of its own: the
// average width of the 52 letters A-Z and a-z, rounded to a whole pixel, and the font's line height.
inline SIZE BaseUnits(HFONT font) {
    HDC const dc = CreateCompatibleDC(nullptr);
    HGDIOBJ const old = SelectObject(dc, font);
    SIZE letters = {};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

// A template's rectangle (x, y, width, height in dialog units) in pixels for those base units.
inline RECT Pixels(const RECT& units, SIZE base) {
    int const left = MulDiv(units.left, base.cx, 4);
    int const top = MulDiv(units.top, base.cy, 8);
    return {left, top, left + MulDiv(units.right, base.cx, 4), top + MulDiv(units.bottom, base.cy, 8)};
}

inline SIZE BaseUnitsAt(HWND dialog, UINT dpi) {
    HFONT const font = TemplateFontAt(dialog, dpi);
    SIZE const base = BaseUnits(font);
    DeleteObject(font);
    return base;
}

// Sends the change to dpi with the rectangle that the system would suggest; returns it.
inline RECT SendDpiChange(HWND dialog, UINT dpi) {
    RECT window = {}, client = {};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    RECT const inside = Pixels({0, 0, kDialogUnits.cx, kDialogUnits.cy}, BaseUnitsAt(dialog, dpi));
    RECT const suggested = {window.left, window.top, window.right + inside.right - client.right,
                            window.bottom + inside.bottom - client.bottom};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

}  // namespace dpi_change
