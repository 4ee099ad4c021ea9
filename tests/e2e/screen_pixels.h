#pragma once
// The screen's pixels, read back for tests that look at what a window painted.
#include <windows.h>

#include <vector>

namespace e2e {

// The screen's pixels inside a rectangle, as 0x00BBGGRR colours, row by row from the top.
class ScreenPixels {
  public:
    explicit ScreenPixels(const RECT& rect) : rect_(rect) {
        int const width = rect.right - rect.left;
        int const height = rect.bottom - rect.top;
        if (width <= 0 || height <= 0) return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC const screen = GetDC(nullptr);
        HDC const memory = CreateCompatibleDC(screen);
        HBITMAP const bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            HGDIOBJ const old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
            GdiFlush();
            SelectObject(memory, old);
            auto const pixels = static_cast<const DWORD*>(bits);
            colours_.reserve(size_t(width) * size_t(height));
            // The section holds 0x00RRGGBB.
            for (int i = 0; i < width * height; ++i)
                colours_.push_back(RGB(GetBValue(pixels[i]), GetGValue(pixels[i]), GetRValue(pixels[i])));
        }
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    // At screen coordinates.
    COLORREF At(int x, int y) const {
        return colours_[size_t(y - rect_.top) * size_t(rect_.right - rect_.left) + size_t(x - rect_.left)];
    }
    // How many pixels of a screen rectangle (inside this one) have the colour.
    int Count(const RECT& within, COLORREF colour) const {
        int count = 0;
        for (int y = within.top; y < within.bottom; ++y)
            for (int x = within.left; x < within.right; ++x) count += At(x, y) == colour;
        return count;
    }
    int Count(COLORREF colour) const { return Count(rect_, colour); }
    bool Empty() const { return colours_.empty(); }
    const std::vector<COLORREF>& Colours() const { return colours_; }
    const RECT& Rect() const { return rect_; }

  private:
    RECT rect_;
    std::vector<COLORREF> colours_;
};

// Waits until the screen inside the rectangle has stopped changing (two looks a fifth of a second
// apart agree): a window that has just appeared has painted itself.
inline bool WaitUntilPainted(const RECT& rect, DWORD timeoutMs) {
    DWORD const start = GetTickCount();
    ScreenPixels before(rect);
    while (GetTickCount() - start < timeoutMs) {
        Sleep(200);
        ScreenPixels now(rect);
        if (!now.Empty() && now.Colours() == before.Colours()) return true;
        before = now;
    }
    return false;
}

}  // namespace e2e
