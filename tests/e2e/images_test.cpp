// The program's pictures as Windows hands them out from huepeek.exe: the icons at the sizes the
// program and the shell ask for, drawn with their alpha, and the banner bitmaps pixel for pixel.
// The images are drawn by res/icons/make_images.py; the expected colours below are its own.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "harness.h"

namespace {

int const kIconProgram = 107;  // the program and tray icon
int const kIconPixel = 108;    // the second picture on the main dialog's pages
int const kBannerWidth = 700;
int const kBannerHeight = 60;

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
    {kIconProgram, 20, 19, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 20, 7, 7, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 20, 5, 7, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 20, 0, 7, {27, 31, 39, 255}, "lens outline"},
    {kIconProgram, 20, 16, 16, {111, 122, 140, 255}, "handle"},
    {kIconProgram, 24, 23, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 24, 9, 9, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 24, 7, 9, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 24, 6, 9, {27, 31, 39, 255}, "dark edge of the box"},
    {kIconProgram, 24, 0, 9, {27, 31, 39, 255}, "lens outline"},
    {kIconProgram, 24, 19, 19, {111, 122, 140, 255}, "handle"},
    {kIconProgram, 32, 31, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 32, 13, 13, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 32, 10, 13, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 32, 12, 0, {27, 31, 39, 125}, "smoothed edge of the lens"},
    {kIconProgram, 32, 27, 27, {111, 122, 140, 255}, "handle"},
    {kIconProgram, 48, 47, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 48, 19, 19, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 48, 16, 19, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 48, 15, 1, {27, 31, 39, 143}, "smoothed edge of the lens"},
    {kIconProgram, 40, 39, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 40, 16, 16, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 40, 13, 16, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 40, 13, 1, {27, 31, 39, 205}, "smoothed edge of the lens"},
    {kIconProgram, 40, 31, 31, {138, 149, 166, 255}, "handle"},
    {kIconProgram, 48, 40, 40, {138, 149, 166, 255}, "handle"},
    {kIconProgram, 64, 63, 0, {0, 0, 0, 0}, "empty corner"},
    {kIconProgram, 64, 26, 26, {245, 132, 69, 255}, "centre pixel"},
    {kIconProgram, 64, 21, 26, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconProgram, 64, 21, 2, {27, 31, 39, 175}, "smoothed edge of the lens"},
    {kIconProgram, 64, 50, 50, {138, 149, 167, 255}, "handle"},
    {kIconPixel, 16, 0, 0, {0, 0, 0, 0}, "rounded corner"},
    {kIconPixel, 16, 7, 7, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 16, 5, 5, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 16, 0, 7, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 16, 2, 2, {148, 72, 255, 255}, "top left neighbour"},
    {kIconPixel, 20, 0, 0, {0, 0, 0, 0}, "rounded corner"},
    {kIconPixel, 20, 10, 10, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 20, 7, 10, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 20, 0, 10, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 20, 4, 4, {113, 73, 255, 255}, "top left pixel"},
    {kIconPixel, 24, 0, 0, {0, 0, 0, 0}, "margin"},
    {kIconPixel, 24, 12, 12, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 24, 9, 12, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 24, 1, 12, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 24, 6, 6, {113, 73, 255, 255}, "top left pixel"},
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
    {kIconPixel, 40, 0, 0, {0, 0, 0, 0}, "margin"},
    {kIconPixel, 40, 20, 20, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 40, 17, 20, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 40, 2, 20, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 40, 10, 10, {73, 100, 255, 255}, "top left pixel"},
    {kIconPixel, 64, 0, 0, {0, 0, 0, 0}, "margin"},
    {kIconPixel, 64, 32, 32, {245, 132, 69, 255}, "centre pixel"},
    {kIconPixel, 64, 27, 32, {255, 255, 255, 255}, "box round the centre pixel"},
    {kIconPixel, 64, 3, 32, {27, 31, 39, 255}, "outline"},
    {kIconPixel, 64, 14, 14, {73, 91, 255, 255}, "top left pixel"},
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
    // 16, 20, 24, 32, 40, 48, 64 and 256 of the program icon; the same but 256 of the page picture.
    EXPECT_EQ(15u, images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        for (size_t j = i + 1; j < images.size(); ++j) EXPECT_NE(images[i], images[j]) << i << " and " << j;
    }
}

// An 8-bit palettized BMP file as the file itself states it, decoded here without Windows:
// BI_RGB or BI_RLE8 (runs, absolute runs, ends of line and of the bitmap; no deltas).
bool ReadBmp8(const std::string& path, int* width, int* height, std::vector<COLORREF>* pixels) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> const file((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (file.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
    BITMAPFILEHEADER head;
    BITMAPINFOHEADER info;
    memcpy(&head, file.data(), sizeof(head));
    memcpy(&info, file.data() + sizeof(head), sizeof(info));
    if (head.bfType != 0x4D42 || info.biBitCount != 8 || info.biHeight <= 0 || head.bfOffBits > file.size()) {
        return false;
    }
    size_t const colours = info.biClrUsed ? info.biClrUsed : 256;
    const unsigned char* palette = file.data() + sizeof(head) + info.biSize;
    if (palette + colours * 4 > file.data() + head.bfOffBits) return false;
    *width = info.biWidth;
    *height = info.biHeight;
    std::vector<int> indices;  // bottom row first
    size_t at = head.bfOffBits;
    if (info.biCompression == BI_RGB) {
        size_t const stride = (size_t(*width) + 3) & ~size_t(3);
        for (int y = 0; y < *height; ++y, at += stride) {
            if (at + stride > file.size()) return false;
            indices.insert(indices.end(), file.begin() + at, file.begin() + at + *width);
        }
    } else if (info.biCompression == BI_RLE8) {
        std::vector<int> row;
        for (;;) {
            if (at + 2 > file.size()) return false;
            unsigned const count = file[at], value = file[at + 1];
            at += 2;
            if (count) {
                row.insert(row.end(), count, int(value));
            } else if (value == 0 || value == 1) {
                if (row.size() != size_t(*width)) return false;
                indices.insert(indices.end(), row.begin(), row.end());
                row.clear();
                if (value == 1) break;
            } else if (value == 2 || at + value > file.size()) {
                return false;
            } else {
                row.insert(row.end(), file.begin() + at, file.begin() + at + value);
                at += value + (value & 1);
            }
        }
    } else {
        return false;
    }
    if (indices.size() != size_t(*width) * size_t(*height)) return false;
    pixels->assign(indices.size(), 0);
    for (int y = 0; y < *height; ++y) {
        for (int x = 0; x < *width; ++x) {
            size_t const index = size_t(indices[size_t(*height - 1 - y) * *width + x]);
            if (index >= colours) return false;
            const unsigned char* bgr = palette + index * 4;
            (*pixels)[size_t(y) * *width + x] = RGB(bgr[2], bgr[1], bgr[0]);
        }
    }
    return true;
}

struct BannerCase {
    int id;
    const char* file;
    COLORREF ground;  // what the dialog fills the banner control with round the bitmap
};

BannerCase const kBanners[] = {
    {132, "banner_dark.bmp", RGB(0, 0, 0)},
    {157, "banner_light.bmp", RGB(251, 251, 251)},
};

// Loaded and drawn as the main dialog draws it: the control filled with the ground, the bitmap
// centred on it, here in a control of 120 dpi (875 x 75) so that the ground shows round it.
TEST(ImagesTest, BannersLoadAndDrawPixelForPixelOnTheirGround) {
    ExeResources exe;
    ASSERT_TRUE(exe.Get());
    for (const BannerCase& banner : kBanners) {
        SCOPED_TRACE(banner.file);
        int width = 0, height = 0;
        std::vector<COLORREF> expected;
        ASSERT_TRUE(ReadBmp8(std::string(HUEPEEK_SOURCE_DIR "/res/icons/") + banner.file, &width, &height,
                             &expected));
        ASSERT_EQ(kBannerWidth, width);
        ASSERT_EQ(kBannerHeight, height);
        // Its outermost pixels are the ground, so that no edge shows where the ground goes on.
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(banner.ground, expected[x]) << x;
            ASSERT_EQ(banner.ground, expected[size_t(height - 1) * width + x]) << x;
        }
        for (int y = 0; y < height; ++y) {
            ASSERT_EQ(banner.ground, expected[size_t(y) * width]) << y;
            ASSERT_EQ(banner.ground, expected[size_t(y) * width + width - 1]) << y;
        }

        HBITMAP const bitmap = LoadBitmapW(exe.Get(), MAKEINTRESOURCEW(banner.id));
        ASSERT_TRUE(bitmap);
        BITMAP info = {};
        ASSERT_EQ(int(sizeof(info)), GetObjectW(bitmap, sizeof(info), &info));
        EXPECT_EQ(kBannerWidth, info.bmWidth);
        EXPECT_EQ(kBannerHeight, info.bmHeight);
        int const controlWidth = kBannerWidth * 5 / 4, controlHeight = kBannerHeight * 5 / 4;
        Surface control(controlWidth, controlHeight, banner.ground);
        ASSERT_TRUE(control.Ok());
        HDC const source = CreateCompatibleDC(nullptr);
        HGDIOBJ const old = SelectObject(source, bitmap);
        int const left = (controlWidth - info.bmWidth) >> 1, top = (controlHeight - info.bmHeight) >> 1;
        BitBlt(control.Dc(), left, top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(bitmap);

        int wrong = 0;
        for (int y = 0; y < controlHeight; ++y) {
            for (int x = 0; x < controlWidth; ++x) {
                bool const inside = x >= left && x < left + width && y >= top && y < top + height;
                COLORREF const want = inside ? expected[size_t(y - top) * width + x - left] : banner.ground;
                if (control.At(x, y) != want && wrong++ < 5) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << control.At(x, y)
                                  << " instead of " << want;
                }
            }
        }
        EXPECT_EQ(0, wrong);
    }
}

}  // namespace
