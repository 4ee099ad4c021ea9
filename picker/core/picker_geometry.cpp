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

void ComputePickerGeometry(int cursorX, int cursorY, int width, int height, float zoom, PickerRect* source,
                           PickerRect* window) {
    double const halfW = width * 0.5;
    double const halfH = height * 0.5;
    double const z = zoom;
    int const dx = int(halfW / z);
    int const dy = int(halfH / z);
    *source = {cursorX - dx, cursorY - dy, cursorX + dx, cursorY + dy};
    int const hw = int(halfW);
    int const hh = int(halfH);
    *window = {cursorX - hw, cursorY - hh, cursorX + hw, cursorY + hh};
}

int BoxEdge(int position, float zoom) {
    return int(float(position) + zoom);
}

namespace {

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

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
