#pragma once

// Where the picker window goes and which screen pixels it magnifies. Plain numbers, so that the
// rules can be checked without a screen.

struct PickerRect {
    int left, top, right, bottom;
};

// Magnification is kept in whole steps from 1 to 16.
float const kMinZoom = 1.0f;
float const kMaxZoom = 16.0f;

// The zoom a newly created picker starts with: not above 0 gives 2, 16 or more gives 16.
float CreationZoom(float requested);
float ZoomIn(float zoom);
float ZoomOut(float zoom);

// Even sizes, at most the screen and at least 100 x 150.
void FixRequestedSize(int* width, int* height, int screenWidth, int screenHeight);

// The picker's sizes are given at 96 DPI (100 %) and scaled by the DPI of the monitor it is on.
unsigned const kUnscaledDpi = 96;
int ScaledForDpi(int size, unsigned dpi);

// The frame covers this much of the window along its edges; inside it lie the white strips, the
// colour's at the top and the hint's at the bottom, this high.
int const kFrameWidth = 2;
int const kStripHeight = 18;

// Where the picker goes for one cursor position. The window is centred on the cursor, then moved
// the least distance that keeps it inside the monitor under the cursor (to its left and top edges
// where it is larger), so that it shows whole. The source rectangle holds (2 * dx) x (2 * dy)
// screen pixels, dx = trunc(w / 2 / zoom) and dy = trunc(h / 2 / zoom), where the zoom is in
// physical pixels (the zoom factor times the monitor's scale). It is placed so that the
// magnified pixel at the cursor's place in the window is the cursor's own: centred on the cursor
// where the window is, and shifted with the window at the monitor's edges, so that the box
// follows the cursor across the view. The box never lies under the frame (`frameWidth` pixels
// along the window's edges) or the strips inside it (`stripHeight` rows at the top and bottom).
struct PickerGeometry {
    PickerRect source;
    PickerRect window;
    int boxX, boxY;  // window position of the box round the magnified pixel under the cursor
};
PickerGeometry ComputePickerGeometry(int cursorX, int cursorY, int width, int height, double zoom,
                                     const PickerRect& monitor, int frameWidth, int stripHeight);

// The box round the magnified pixel: from (x, y) to (x + zoom, y + zoom), the sums taken in single
// precision and truncated.
int BoxEdge(int position, float zoom);

// An arrow key moves the cursor by one pixel, with Shift by ten.
int const kNudgeStep = 1;
int const kShiftNudgeStep = 10;
// The cursor (x, y) moved by (dx, dy), kept on the virtual screen (right and bottom exclusive).
void NudgeCursor(int* x, int* y, int dx, int dy, const PickerRect& screen);

// A double click on the tray icon opens the picker with its first press; its second press lands on
// the picker, which has just appeared under the pointer. Such a press is no click on the picker.
struct OpeningClick {
    unsigned time;  // milliseconds, as the system's tick count
    int x, y;
};
struct DoubleClickLimits {
    unsigned ms;        // the system's double-click time
    int width, height;  // the rectangle round the first press within which the second must lie
};
// Whether a press at (x, y) at `time` completes the double click that the opening click began.
bool CompletesDoubleClick(const OpeningClick& opening, unsigned time, int x, int y,
                          const DoubleClickLimits& limits);
