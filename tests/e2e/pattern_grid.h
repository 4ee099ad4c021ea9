#pragma once
// The grid of pattern_window.exe, whose every pixel names its own position by its colour.
#include <windows.h>

#include <string>

namespace e2e {

// A grid of pattern_window.exe: the pixel (i, j) of its rectangle has its own colour.
struct Grid {
    int left, top, width, height;

    std::wstring Arguments() const {
        return L"grid " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
               std::to_wstring(width) + L" " + std::to_wstring(height);
    }
    // The same rule as pattern_window.cpp.
    COLORREF ColourAt(int x, int y) const {
        int const i = x - left, j = y - top;
        return RGB(i & 0xFF, j & 0xFF, ((i + j) & 1) ? 0xC0 : 0x40);
    }
    // The screen pixel that a colour of this grid shows; false for any other colour.
    bool Position(COLORREF colour, POINT* at) const {
        int const x = left + GetRValue(colour), y = top + GetGValue(colour);
        if (x >= left + width || y >= top + height || ColourAt(x, y) != colour) return false;
        *at = {x, y};
        return true;
    }
};

}  // namespace e2e
