#pragma once
#include <windows.h>

// The picker: a borderless topmost window centred on the cursor that magnifies a snapshot of the
// screen. One per process; the window, once created, is only hidden and shown again.
class Picker {
  public:
    Picker();
    virtual ~Picker() {}

    RECT source = {};  // the screen area that is magnified
    RECT window = {};  // where the window is placed
    POINT box = {};    // where the box round the pixel under the cursor is drawn, in the window
    HWND hwnd = nullptr;
    HDC snapshotDc = nullptr;
    HBITMAP snapshotBitmap = nullptr;
    int screenWidth, screenHeight;
    int screenLeft = 0, screenTop = 0;
    int currentWidth = 600, currentHeight = 150;
    int requestedWidth = 600, requestedHeight = 150;
    float zoom = 2.0f;
    UINT dpi = 96;  // of the monitor the picker is on: its size, strips, frame and zoom scale by it
    int savedDcState = 0;
    int shown = 0;
    COLORREF colour = 0;  // under the cursor at the last update; the label shows it
};

extern Picker g_picker;

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
void OpenPicker(PickerOpening opening = PickerOpening::kByKey);
bool PickerShown();
HWND CreatePickerWindow(int width, int height, float zoom);
int ShowPicker();
void HidePicker();
// True when the cursor, the size, the zoom or the DPI had changed (or forced): the picker was redrawn.
bool UpdatePicker(bool forced);
LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Screen snapshot and drawing of the magnified view.
void CaptureScreen(Picker* picker);
void ReleaseSnapshot(Picker* picker);
// The snapshot's pixel under the cursor now; CLR_INVALID (white) without a snapshot.
COLORREF ColourUnderCursor(const Picker* picker);
void PaintPicker(const Picker* picker, HDC dc);
