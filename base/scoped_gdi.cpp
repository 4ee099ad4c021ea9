#include "base/scoped_gdi.h"

ScopedDC ScopedDC::ForWindow(HWND window) {
    return ScopedDC(GetDC(window), window, false);
}

ScopedDC ScopedDC::Compatible(HDC dc) {
    return ScopedDC(CreateCompatibleDC(dc), nullptr, true);
}

ScopedDC::~ScopedDC() {
    Release();
}

bool ScopedDC::Release() {
    if (!dc_) return false;
    bool const released = created_ ? DeleteDC(dc_) != 0 : ReleaseDC(window_, dc_) != 0;
    dc_ = nullptr;
    return released;
}
