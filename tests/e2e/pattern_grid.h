#pragma once
// The grid of pattern_window.exe, whose every pixel names its own position by its colour.
#include <windows.h>

#include <string>

#include "screen_pixels.h"

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
    // Whether the screen shows the whole grid now.
    bool OnScreen() const {
        ScreenPixels const pixels({left, top, left + width, top + height});
        if (pixels.Empty()) return false;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (pixels.At(x, y) != ColourAt(x, y)) return false;
        return true;
    }
};

// A colour as the picker copies it by default: "#RRGGBB".
inline std::wstring HexText(COLORREF colour) {
    wchar_t text[16];
    wsprintfW(text, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

}  // namespace e2e
