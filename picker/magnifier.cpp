#include <windows.h>

#include "base/core/text.h"
#include "base/scoped_gdi.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "picker/core/colour_forms.h"
#include "picker/core/picker_geometry.h"
#include "picker/picker_window.h"

namespace {

// The snapshot is this much larger than the virtual screen to the right and below.
int const kSnapshotSpare = 8;
COLORREF const kFrameColour = RGB(255, 255, 0);
// Parts of the source outside the virtual screen are shown in a neutral grey instead of whatever
// the bitmap's memory or the paint DC held.
COLORREF const kOutsideColour = RGB(128, 128, 128);

int const kThinPenWidth = 2;
// Centred on the window's edge: half of it shows.
int const kThickPenWidth = 2 * kFrameWidth;

// The strips' text: the system's message font (Segoe UI, Tahoma under Wine) in bold, 12 pixels
// high at 96 DPI and scaled. (The system font that a device context starts with is a bitmap font,
// which keeps its size at any scale.)
int const kStripFontHeight = 12;

HFONT CreateStripFont(UINT dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW font = {};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    font.lfHeight = -ScaledForDpi(kStripFontHeight, dpi);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

// The pens and the strips' font at the picker's DPI, made again when it changes.
void MakeToolsFor(Picker* picker) {
    UINT const dpi = picker->dpi;
    if (picker->toolsDpi == dpi && picker->thinPen.Held()) return;
    picker->toolsDpi = dpi;
    picker->thinPen.Reset(CreatePen(PS_SOLID, ScaledForDpi(kThinPenWidth, dpi), kFrameColour));
    picker->thickPen.Reset(CreatePen(PS_SOLID, ScaledForDpi(kThickPenWidth, dpi), kFrameColour));
    picker->font.Reset(CreateStripFont(dpi));
}

void FillRect(HDC dc, const RECT& rect, COLORREF colour) {
    COLORREF const previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

// Fills the parts of the window whose source pixels lie outside the snapshot.
void FillOutside(const Picker* picker, HDC dc, int w, int h) {
    int const srcW = picker->source.right - picker->source.left;
    int const srcH = picker->source.bottom - picker->source.top;
    if (srcW <= 0 || srcH <= 0) return;
    int const left = picker->source.left - picker->screenLeft;
    int const top = picker->source.top - picker->screenTop;
    int const right = left + srcW;
    int const bottom = top + srcH;
    // The spare pixels behind the screen's edge hold no screen content either.
    int const limitX = picker->screenWidth;
    int const limitY = picker->screenHeight;
    if (left >= 0 && top >= 0 && right <= limitX && bottom <= limitY) return;
    // Window x of a source column c is (c - left) * w / srcW; COLORONCOLOR maps whole pixels.
    auto const toX = [&](int c) { return MulDiv(c - left, w, srcW); };
    auto const toY = [&](int r) { return MulDiv(r - top, h, srcH); };
    if (left < 0) FillRect(dc, {0, 0, toX(0), h}, kOutsideColour);
    if (right > limitX) FillRect(dc, {toX(limitX), 0, w, h}, kOutsideColour);
    if (top < 0) FillRect(dc, {0, 0, w, toY(0)}, kOutsideColour);
    if (bottom > limitY) FillRect(dc, {0, toY(limitY), w, h}, kOutsideColour);
}

void DrawStrip(HDC dc, const RECT& rect, const wchar_t* text) {
    RECT r = rect;
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    // A hint in Arabic, Persian or Hebrew that is cut keeps its ellipsis at its own end, the left.
    UINT const reading = ReadsRightToLeft(Utf16(text)) ? DT_RTLREADING : 0;
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | reading);
}

}  // namespace

void ReleaseSnapshot(Picker* picker) {
    if (!picker->snapshotDc) return;
    RestoreDC(picker->snapshotDc, picker->savedDcState);
    DeleteDC(picker->snapshotDc);
    DeleteObject(picker->snapshotBitmap);
    picker->snapshotDc = nullptr;
    picker->snapshotBitmap = nullptr;
}

void CaptureScreen(Picker* picker) {
    ReleaseSnapshot(picker);
    picker->screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    picker->screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    picker->screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    picker->screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ScopedDC const screen = ScopedDC::ForWindow(nullptr);
    ScopedDC memory = ScopedDC::Compatible(screen);
    ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, picker->screenWidth + kSnapshotSpare,
                                                           picker->screenHeight + kSnapshotSpare));
    // Without either there is no snapshot: the view stays empty and the colour reads as white.
    if (!memory.get() || !bitmap.get()) return;
    picker->snapshotDc = memory.Detach();
    picker->snapshotBitmap = bitmap.Detach();
    // Saved so that the bitmap the DC was created with goes back in before the DC is deleted.
    picker->savedDcState = SaveDC(picker->snapshotDc);
    SelectObject(picker->snapshotDc, picker->snapshotBitmap);
    // Only the screen itself is copied: a source reaching past the screen's edge makes the X11
    // display of Wine copy nothing at all (and still report success), which left the whole
    // snapshot black. The spare pixels hold no screen content; the paint shows them as outside.
    BitBlt(picker->snapshotDc, 0, 0, picker->screenWidth, picker->screenHeight, screen, picker->screenLeft,
           picker->screenTop, SRCCOPY);
}

COLORREF ColourAt(const Picker* picker, POINT point) {
    if (!picker->snapshotDc) return CLR_INVALID;
    return GetPixel(picker->snapshotDc, point.x - picker->screenLeft, point.y - picker->screenTop);
}

void PaintPicker(Picker* picker, HDC dc) {
    int const w = picker->currentWidth;
    int const h = picker->currentHeight;
    if (picker->snapshotDc) {
        int const previousMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, w, h, picker->snapshotDc, picker->source.left - picker->screenLeft,
                   picker->source.top - picker->screenTop, picker->source.right - picker->source.left,
                   picker->source.bottom - picker->source.top, SRCCOPY);
        SetStretchBltMode(dc, previousMode);
        FillOutside(picker, dc, w, h);
    }
    SetBkMode(dc, OPAQUE);

    MakeToolsFor(picker);
    int const frame = ScaledForDpi(kFrameWidth, picker->dpi);
    int const strip = ScaledForDpi(kStripHeight, picker->dpi);
    wchar_t label[kColourTextChars];
    LabelForm(picker->colour, Utf16(label));
    SetBkColor(dc, RGB(255, 255, 255));
    COLORREF const previousText = SetTextColor(dc, RGB(0, 0, 0));
    ScopedSelect const font(dc, picker->font);
    DrawStrip(dc, {frame, frame, w - frame - 1, frame + strip}, label);
    wchar_t hint[kColourTextChars];
    // A translation longer than the strip's buffer is cut, never in the middle of a surrogate pair.
    lstrcpynW(hint, Text(kTextClickHint), kColourTextChars);
    size_t const length = lstrlenW(hint);
    if (length && IsHighSurrogate(hint[length - 1])) hint[length - 1] = 0;
    DrawStrip(dc, {frame, h - frame - strip, w - frame - 1, h - frame - 1}, hint);
    SetTextColor(dc, previousText);

    POINT const box = picker->box;
    // One screen pixel is zoom x zoom pixels at 96 DPI, more on a monitor of a larger scale.
    float const boxSize = float(picker->zoom * double(picker->dpi) / kUnscaledDpi);
    // The null brush stays selected: the DC is the window's for this paint only.
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    ScopedSelect const pen(dc, picker->thinPen);
    // Pen AND NOT picture: under the yellow pen red and green are inverted and blue becomes 0, so
    // the box shows on any colour.
    int const previousRop = SetROP2(dc, R2_MASKPENNOT);
    Rectangle(dc, box.x, box.y, BoxEdge(box.x, boxSize), BoxEdge(box.y, boxSize));
    SelectObject(dc, picker->thickPen);
    Rectangle(dc, 0, 0, w, h);
    SetROP2(dc, previousRop);
}
