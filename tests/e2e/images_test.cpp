// The program's pictures as Windows hands them out from huepeek.exe: the icons at the sizes the
// program and the shell ask for, drawn with their alpha, and the banner bitmaps pixel for pixel.
// The images are drawn by res/icons/make_images.py; the expected colours below are its own.
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

int const kIconProgram = 107;  // the program and tray icon
int const kIconPixel = 108;    // the second picture on the main dialog's pages

// The resources of huepeek.exe, mapped as data: nothing of the program runs.
class ExeResources {
  public:
    ExeResources()
        : module_(LoadLibraryExW(e2e::HuepeekPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ExeResources() {
        if (module_) FreeLibrary(module_);
    }
    ExeResources(const ExeResources&) = delete;
    ExeResources& operator=(const ExeResources&) = delete;
    HMODULE Get() const { return module_; }

  private:
    HMODULE module_;
};

struct Rgba {
    int r, g, b, a;
};

// A top-down 32-bit DIB section selected into a memory DC, filled with one colour.
class Surface {
  public:
    Surface(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) {
            bits_[i] = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
        }
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool Ok() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD const v = bits_[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};

// An icon drawn once on black and once on white gives back each pixel's straight colour and
// alpha: on black the result is colour * alpha, on white it is that plus white * (1 - alpha).
std::vector<Rgba> DrawnIcon(HICON icon, int size) {
    Surface black(size, size, RGB(0, 0, 0));
    Surface white(size, size, RGB(255, 255, 255));
    std::vector<Rgba> pixels;
    if (!black.Ok() || !white.Ok()) return pixels;
    DrawIconEx(black.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    DrawIconEx(white.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            COLORREF const k = black.At(x, y);
            COLORREF const w = white.At(x, y);
            int const a = 255 - (GetRValue(w) - GetRValue(k));
            auto straight = [a](int premultiplied) { return a ? (premultiplied * 255 + a / 2) / a : 0; };
            pixels.push_back({straight(GetRValue(k)), straight(GetGValue(k)), straight(GetBValue(k)), a});
        }
    }
    return pixels;
}

struct IconProbe {
    int id, size, x, y;
    Rgba expected;
    const char* what;
};

// Points chosen where the sizes differ, so a size scaled from another image would fail too.
IconProbe const kIconProbes[] = {
    {kIconProgram, 16, 15, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 16, 6, 6, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 16, 4, 4, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 16, 0, 4, {27, 31, 39, 255}, "lens outline"},
    {kIconProgram, 16, 13, 13, {111, 122, 140, 255}, "handle"},
    {kIconProgram, 32, 31, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 32, 13, 13, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 32, 10, 13, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 32, 12, 0, {27, 31, 39, 125}, "smoothed edge of the lens"},
    {kIconProgram, 32, 27, 27, {111, 122, 140, 255}, "handle"},
    {kIconProgram, 48, 47, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 48, 19, 19, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 48, 16, 19, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 48, 15, 1, {27, 31, 39, 143}, "smoothed edge of the lens"},
    {kIconProgram, 48, 40, 40, {138, 149, 166, 255}, "handle"},
    {kIconPixel, 16, 0, 0, {0, 0, 0, 0}, "rounded corner"},
    {kIconPixel, 16, 7, 7, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 16, 5, 5, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 16, 0, 7, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 16, 2, 2, {148, 72, 255, 255}, "top left neighbour"},
    {kIconPixel, 32, 0, 0, {0, 0, 0, 0}, "margin"},
    {kIconPixel, 32, 16, 16, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 32, 13, 16, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 32, 1, 16, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 32, 3, 3, {247, 247, 247, 255}, "lit rim"},
    {kIconPixel, 48, 0, 0, {0, 0, 0, 0}, "margin"},
    {kIconPixel, 48, 24, 24, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 48, 19, 24, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 48, 6, 3, {27, 31, 39, 117}, "smoothed corner"},
    {kIconPixel, 48, 9, 9, {74, 157, 255, 255}, "top left pixel"},
};

TEST(ImagesTest, IconsLoadAtEverySizeWithTheirColoursAndAlpha) {
    ExeResources exe;
    ASSERT_TRUE(exe.Get());
    for (const IconProbe& probe : kIconProbes) {
        SCOPED_TRACE(testing::Message() << "icon " << probe.id << " at " << probe.size << ", " << probe.what
                                        << " at " << probe.x << "," << probe.y);
        HICON const icon = static_cast<HICON>(
            LoadImageW(exe.Get(), MAKEINTRESOURCEW(probe.id), IMAGE_ICON, probe.size, probe.size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(probe.size, colour.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        std::vector<Rgba> const pixels = DrawnIcon(icon, probe.size);
        DestroyIcon(icon);
        ASSERT_EQ(size_t(probe.size * probe.size), pixels.size());
        Rgba const got = pixels[probe.y * probe.size + probe.x];
        EXPECT_NEAR(probe.expected.a, got.a, 2);
        if (probe.expected.a > 0) {
            // A colour recovered from a partly transparent pixel carries its rounding, enlarged.
            int const tolerance = probe.expected.a == 255 ? 2 : 8;
            EXPECT_NEAR(probe.expected.r, got.r, tolerance);
            EXPECT_NEAR(probe.expected.g, got.g, tolerance);
            EXPECT_NEAR(probe.expected.b, got.b, tolerance);
        }
    }
}

BOOL CALLBACK CollectIcon(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    auto* images = reinterpret_cast<std::vector<std::string>*>(param);
    HRSRC const found = FindResourceW(module, name, type);
    HGLOBAL const data = found ? LoadResource(module, found) : nullptr;
    if (data) {
        images->emplace_back(static_cast<const char*>(LockResource(data)), SizeofResource(module, found));
    }
    return TRUE;
}

TEST(ImagesTest, EveryIconImageIsStoredOnce) {
    ExeResources exe;
    ASSERT_TRUE(exe.Get());
    std::vector<std::string> images;
    EnumResourceNamesW(exe.Get(), RT_ICON, CollectIcon, reinterpret_cast<LONG_PTR>(&images));
    // 16, 32, 48 and 256 of the program icon; 16, 32 and 48 of the page picture.
    EXPECT_EQ(7u, images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        for (size_t j = i + 1; j < images.size(); ++j) EXPECT_NE(images[i], images[j]) << i << " and " << j;
    }
}

}  // namespace
