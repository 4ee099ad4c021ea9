#include "picker/core/picker_geometry.h"

float CreationZoom(float requested) {
    if (!(requested > 0.0f)) return 2.0f;
    if (requested >= kMaxZoom) return kMaxZoom;
    return requested;
}

float ZoomIn(float zoom) {
    return zoom < kMaxZoom ? zoom + 1.0f : zoom;
}

float ZoomOut(float zoom) {
    return zoom > kMinZoom ? zoom - 1.0f : zoom;
}

void FixRequestedSize(int* width, int* height, int screenWidth, int screenHeight) {
    *width &= ~1;
    *height &= ~1;
    if (*height > screenHeight) *height = screenHeight;
    if (*height < 150) *height = 150;
    if (*width > screenWidth) *width = screenWidth;
    if (*width < 100) *width = 100;
}

namespace {

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

// One axis of the picker: where the window starts, and the source with the box round the cursor's
// pixel in it. `covered` window pixels at either end hide the pixels under them.
struct AxisPlace {
    int windowStart, sourceStart, sourceLength, box;
};

AxisPlace PlaceAxis(int cursor, int length, double zoom, int monitorStart, int monitorEnd, int covered) {
    double const half = length * 0.5;
    int const sourceLength = 2 * int(half / zoom);
    int start = cursor - int(half);
    if (start > monitorEnd - length) start = monitorEnd - length;
    if (start < monitorStart) start = monitorStart;
    if (sourceLength <= 0) return {start, cursor, 0, 0};
    // Source pixel i is drawn from window pixel i * length / sourceLength on. The cursor's pixel is
    // the one drawn at the cursor's place in the window (centred: dx of 2 * dx), but never one that
    // the frame or a strip covers: at the monitor's outermost pixels the view reaches past them.
    long long const place = static_cast<long long>(cursor) - start;
    int const first = (covered * sourceLength + length - 1) / length;
    int const last = (length - covered) * sourceLength / length - 1;
    int const cell = place <= 0 ? 0 : place >= length ? sourceLength - 1 : int(place * sourceLength / length);
    int const shown = last < first ? cell : Clamp(cell, first, last);
    // One pixel right of and below the cell's first window pixel: centred, the window's centre.
    return {start, cursor - shown, sourceLength, shown * length / sourceLength + 1};
}

}  // namespace

PickerGeometry ComputePickerGeometry(int cursorX, int cursorY, int width, int height, double zoom,
                                     const PickerRect& monitor, int frameWidth, int stripHeight) {
    AxisPlace const x = PlaceAxis(cursorX, width, zoom, monitor.left, monitor.right, frameWidth);
    AxisPlace const y =
        PlaceAxis(cursorY, height, zoom, monitor.top, monitor.bottom, frameWidth + stripHeight);
    return {{x.sourceStart, y.sourceStart, x.sourceStart + x.sourceLength, y.sourceStart + y.sourceLength},
            {x.windowStart, y.windowStart, x.windowStart + width, y.windowStart + height},
            x.box,
            y.box};
}

int ScaledForDpi(int size, unsigned dpi) {
    return int((static_cast<long long>(size) * dpi + kUnscaledDpi / 2) / kUnscaledDpi);
}

int BoxEdge(int position, float zoom) {
    return int(float(position) + zoom);
}

void NudgeCursor(int* x, int* y, int dx, int dy, const PickerRect& screen) {
    *x = Clamp(*x + dx, screen.left, screen.right - 1);
    *y = Clamp(*y + dy, screen.top, screen.bottom - 1);
}

bool CompletesDoubleClick(const OpeningClick& opening, unsigned time, int x, int y,
                          const DoubleClickLimits& limits) {
    // The tick count wraps after 49.7 days: the difference, taken as signed, still tells the order.
    // A press queued before the picker opened is part of the same double click.
    int const since = int(time - opening.time);
    int const dx = x > opening.x ? x - opening.x : opening.x - x;
    int const dy = y > opening.y ? y - opening.y : opening.y - y;
    return since < int(limits.ms) && dx <= limits.width / 2 && dy <= limits.height / 2;
}
