#pragma once
#include <windows.h>

#include "base/scoped_gdi.h"
#include "picker/core/picker_geometry.h"

wchar_t const kPickerClassName[] = L"RealTimeMagnifier1_____5";
UINT_PTR const kEscPollTimer = 1111;
UINT const kEscPollMs = 20;
UINT_PTR const kFollowTimer = 1000;
UINT const kFollowMs = 10;
// After this many ticks that found nothing changed, the tick comes every kFollowAtRestMs.
int const kTicksBeforeRest = 10;
UINT const kFollowAtRestMs = 20;

// Opened by a click (the tray icon, the picker button), the picker takes no press that completes a
// double click of that click.
enum class PickerOpening { kByKey, kByClick };

// The picker: a borderless topmost window centred on the cursor that magnifies a snapshot of the
// screen. The object owns the window (made at the first opening, then only hidden and shown again,
// destroyed with the object), its timers, the snapshot, and the pens and the font of its paint.
class Picker {
  public:
    Picker() = default;
    ~Picker();
    Picker(const Picker&) = delete;
    Picker& operator=(const Picker&) = delete;

    void Open(PickerOpening opening = PickerOpening::kByKey);
    bool Shown() const { return shown; }
    void Hide();
    // True when the cursor, the size, the zoom or the DPI had changed (or forced): the picker was redrawn.
    bool Update(bool forced);

    // Direct picker mode, set before the first opening: the picker is the whole run. Esc is watched
    // while it is hidden, and its end, by a colour taken, by Esc or by its window's loss, ends the run.
    bool endsRun = false;
    RECT source = {};  // the screen area that is magnified
    POINT box = {};    // where the box round the pixel under the cursor is drawn, in the window
    HWND hwnd = nullptr;
    HDC snapshotDc = nullptr;
    HBITMAP snapshotBitmap = nullptr;
    int savedDcState = 0;
    int screenLeft = 0, screenTop = 0, screenWidth = 0, screenHeight = 0;  // at the last snapshot
    int currentWidth = 0, currentHeight = 0;
    int requestedWidth = 0, requestedHeight = 0;
    float zoom = 0;
    UINT dpi = 0;  // of the monitor the picker is on: its size, strips, frame and zoom scale by it
    bool shown = false;
    COLORREF colour = 0;  // under the cursor at the last update; the label shows it

    // What the follow tick compares with, to do nothing when nothing has changed.
    struct UpdateCache {
        POINT cursor;
        int width, height;  // the requested size
        double zoom;
        UINT dpi;
        HMONITOR monitor;
    } updateCache = {};
    int quietTicks = 0;  // follow ticks in a row that found nothing changed
    // The click that opened the picker, while a press on the picker may still be its second half.
    OpeningClick openingClick = {};
    bool openedByClick = false;
    // GetDpiForMonitor of Windows 8.1 and later, looked up when the window is made.
    HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;

    // The pens and the strips' font at the DPI of the last paint, made again when it changes.
    UINT toolsDpi = 0;
    ScopedGdiObject<HPEN> thinPen;
    ScopedGdiObject<HPEN> thickPen;
    ScopedGdiObject<HFONT> font;
};

LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Screen snapshot and drawing of the magnified view.
void CaptureScreen(Picker* picker);
void ReleaseSnapshot(Picker* picker);
// The snapshot's pixel at a point of the screen; CLR_INVALID (white) without a snapshot.
COLORREF ColourAt(const Picker* picker, POINT point);
void PaintPicker(Picker* picker, HDC dc);
