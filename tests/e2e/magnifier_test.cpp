// The magnified view and the clipboard export as a user meets them: exact pixel patterns on the
// screen (pattern_window.exe), the picker in direct picker mode over them, and what reaches the
// screen and the clipboard, read by this process as any other program would read them.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "pattern_grid.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
// The Xvfb screen of the test run, and the size the picker opens with.
int const kScreenWidth = 1280;
int const kScreenHeight = 800;
int const kPickerWidth = 384;
int const kPickerHeight = 256;
int const kZoomAtOpen = 10;
// The frame's pen is 4 pixels wide and centred on the window's edge.
int const kFrameMargin = 4;
// The white strips: y 2 to 20 at the top, h - 20 to h - 3 at the bottom.
int const kStripsMargin = 24;

std::wstring PatternPath() {
    return TestProgramDir() + L"\\pattern_window.exe";
}

// Under R2_MASKPENNOT the yellow pen leaves yellow AND NOT the picture: red and green inverted,
// blue 0. Applying it twice gives the picture back.
COLORREF MaskedByYellowPen(COLORREF picture) {
    return RGB(255 - GetRValue(picture), 255 - GetGValue(picture), 0);
}

std::wstring HexText(COLORREF colour) {
    wchar_t text[16];
    wsprintfW(text, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// Whether a pixel is a grid pixel inverted by the yellow pen (which loses the grid's blue).
bool ShowsUnderPen(const Grid& grid, COLORREF pixel) {
    POINT at;
    COLORREF const picture = MaskedByYellowPen(pixel);
    return GetBValue(pixel) == 0 &&
           (grid.Position(picture | RGB(0, 0, 0x40), &at) || grid.Position(picture | RGB(0, 0, 0xC0), &at));
}

// The pixels of a screen rectangle as another program sees them.
class Capture {
  public:
    bool Take(const RECT& rect) {
        width_ = rect.right - rect.left;
        height_ = rect.bottom - rect.top;
        if (width_ <= 0 || height_ <= 0) return false;
        pixels_.assign(size_t(width_) * height_, 0);
        HDC const screen = GetDC(nullptr);
        HDC const memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP const bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bool ok = false;
        if (bitmap) {
            HGDIOBJ const previous = SelectObject(memory, bitmap);
            ok = BitBlt(memory, 0, 0, width_, height_, screen, rect.left, rect.top, SRCCOPY) != FALSE;
            GdiFlush();
            const DWORD* const source = static_cast<const DWORD*>(bits);
            for (size_t i = 0; i < pixels_.size(); ++i) {
                DWORD const p = source[i];  // 0x00RRGGBB
                pixels_[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            }
            SelectObject(memory, previous);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return ok;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }

    // Kept as a picture beside the test program when a check fails, to look at.
    std::wstring Save(const wchar_t* name) const {
        std::wstring const path = TestProgramDir() + L"\\" + name + L".png";
        std::vector<uint32_t> pixels(pixels_.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint32_t(GetRValue(pixels_[i])) << 16 | uint32_t(GetGValue(pixels_[i])) << 8 |
                        GetBValue(pixels_[i]);
        return WritePngFile(path, width_, height_, pixels.data()) ? path : L"(not saved)";
    }

  private:
    int width_ = 0, height_ = 0;
    std::vector<COLORREF> pixels_;
};

// The picker centred on the cursor and moved back onto the screen where it would leave it.
RECT PlacedFor(int x, int y) {
    int const left = std::min(std::max(x - kPickerWidth / 2, 0), kScreenWidth - kPickerWidth);
    int const top = std::min(std::max(y - kPickerHeight / 2, 0), kScreenHeight - kPickerHeight);
    return {left, top, left + kPickerWidth, top + kPickerHeight};
}

// Whether the thread of the window is in the middle of something: it does not answer at once.
bool Busy(HWND window) {
    DWORD const kAtOnceMs = 10;
    DWORD_PTR answer = 0;
    return !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAtOnceMs, &answer);
}

RECT WindowRect(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool ScreenShows(const Grid& grid) {
    Capture capture;
    if (!capture.Take({grid.left, grid.top, grid.left + grid.width, grid.top + grid.height})) return false;
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            if (capture.At(x, y) != grid.ColourAt(grid.left + x, grid.top + y)) return false;
    return true;
}

bool ScreenShowsColour(const RECT& rect, COLORREF colour) {
    Capture capture;
    if (!capture.Take(rect)) return false;
    for (int y = 0; y < capture.Height(); ++y)
        for (int x = 0; x < capture.Width(); ++x)
            if (capture.At(x, y) != colour) return false;
    return true;
}

std::vector<UINT> ClipboardFormats() {
    std::vector<UINT> formats;
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1000)) return formats;
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
        formats.push_back(format);
    CloseClipboard();
    return formats;
}

UINT MarkerFormat() {
    return RegisterClipboardFormatW(L"HuepeekTestMarker");
}

// Text plus a format of our own, so that a test sees whether the copy replaced all of it.
bool FillClipboard(const std::wstring& text) {
    if (!WriteClipboardText(text) || !OpenClipboard(nullptr)) return false;
    bool ok = false;
    if (HGLOBAL const memory = GlobalAlloc(GMEM_MOVEABLE, 4)) {
        *static_cast<DWORD*>(GlobalLock(memory)) = 0x5EED;
        GlobalUnlock(memory);
        ok = SetClipboardData(MarkerFormat(), memory) != nullptr;
    }
    CloseClipboard();
    return ok;
}

// Holds the clipboard open the way another program does: with a window of its own. (Opened with
// no window, Wine lets any other opener without a window in as well.)
class ClipboardHolder {
  public:
    ~ClipboardHolder() {
        Close();
        if (window_) DestroyWindow(window_);
    }
    bool Open() {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        open_ = window_ && OpenClipboard(window_);
        return open_;
    }
    void Close() {
        if (open_) CloseClipboard();
        open_ = false;
    }

  private:
    HWND window_ = nullptr;
    bool open_ = false;
};

// Lengths of the runs of one screen position along a line, from client position `from` to `to`.
struct Run {
    int position, start, length;
};

std::vector<Run> Runs(const std::vector<int>& shown, int from, int to) {
    std::vector<Run> runs;
    for (int at = from; at < to; ++at) {
        if (!runs.empty() && runs.back().position == shown[at])
            ++runs.back().length;
        else
            runs.push_back({shown[at], at, 1});
    }
    return runs;
}

// The runs show consecutive screen pixels, from `first` on, each as wide as the zoom allows. The
// first and last runs may be cut by the ends of the line.
void ExpectBlocks(const std::vector<Run>& runs, int first, int last, int minLength, int maxLength,
                  const char* what) {
    ASSERT_FALSE(runs.empty()) << what;
    EXPECT_EQ(first, runs.front().position) << what;
    EXPECT_EQ(last, runs.back().position) << what;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(runs[i - 1].position + 1, runs[i].position) << what << ": run at " << runs[i].start;
        }
        if (i > 0 && i + 1 < runs.size()) {
            EXPECT_GE(runs[i].length, minLength) << what << ": run at " << runs[i].start;
            EXPECT_LE(runs[i].length, maxLength) << what << ": run at " << runs[i].start;
        }
    }
}

class MagnifierTest : public E2eTest {
  protected:
    void TearDown() override {
        patterns_.Kill();
        E2eTest::TearDown();
    }

    // Shows the patterns and waits until the screen shows them exactly.
    bool ShowPatterns(const std::wstring& arguments, const std::function<bool()>& painted) {
        if (!patterns_.Start(PatternPath(), arguments)) return false;
        return WaitUntil(painted, kStartTimeoutMs);
    }

    // Starts direct picker mode with the cursor at (x, y) and waits for the picker. Without a window
    // manager X focus follows the pointer, and a window that appears under a resting pointer does
    // not get it: the pointer is nudged by (nudgeX, nudgeY) and back so keys reach the picker.
    HWND StartPicker(int x, int y, int nudgeX = 1, int nudgeY = 0) {
        MoveCursor(x, y);
        huepeek_ = std::make_unique<Process>();  // ends the one of an earlier case
        EXPECT_TRUE(StartHuepeek(*huepeek_, L"huepeek"));
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_->Id(), kStartTimeoutMs);
        EXPECT_NE(nullptr, picker) << "no picker window";
        MoveCursor(x + nudgeX, y + nudgeY);
        MoveCursor(x, y);
        // Back where it was: the picker is placed for the cursor again, and has painted there.
        RECT const placed = PlacedFor(x, y);
        EXPECT_TRUE(WaitUntil(
            [&] {
                RECT const r = WindowRect(picker);
                return EqualRect(&r, &placed) != FALSE;
            },
            kStartTimeoutMs))
            << "the picker did not follow the cursor back";
        EXPECT_TRUE(DrainMessages(picker));
        return picker;
    }

    // The picker's pixels once they show the picture at the given zoom: the box round the magnified
    // pixel is then `zoom` wide, which the picker only draws after its first paint at that zoom.
    bool CapturePicker(HWND picker, Capture* capture, const std::function<bool(const Capture&)>& ready) {
        return WaitUntil([&] { return capture->Take(WindowRect(picker)) && ready(*capture); }, 3000);
    }

    void ExpectEndsWithEsc() {
        EXPECT_TRUE(HoldKeyUntil(
            VK_ESCAPE, [&] { return !huepeek_->Running(); }, kExitTimeoutMs))
            << "still running after Esc";
        DWORD code = 0;
        EXPECT_TRUE(huepeek_->WaitExit(0, &code));
        EXPECT_EQ(DWORD(45054), code);
    }

    Process patterns_;
    std::unique_ptr<Process> huepeek_;
};

// The colour under the cursor is red 10, green 200, blue 30: hexadecimal 0AC81E, decimal 10,200,30.
RECT const kSolidRect = {440, 300, 840, 500};
COLORREF const kSolidColour = RGB(10, 200, 30);
wchar_t const kSolidArguments[] = L"solid 440 300 400 200 0AC81E";

TEST_F(MagnifierTest, KeysCopyTheColourUnderTheCursorAsTextAndHideThePicker) {
    ASSERT_TRUE(ShowPatterns(kSolidArguments, [] { return ScreenShowsColour(kSolidRect, kSolidColour); }));
    struct Case {
        WORD key;
        const wchar_t* text;
    };
    Case const cases[] = {
        {'1', L"#0AC81E"},
        {'2', L"#0AC81EFF"},  // opaque alpha behind the hexadecimal form
        {'3', L"10,200,30"},
        {'4', L"10,200,30"},  // the same as key 3: no alpha part
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << char(c.key));
        ASSERT_TRUE(FillClipboard(L"stale"));
        HWND const picker = StartPicker(640, 400);
        ASSERT_NE(nullptr, picker);
        PressKey(c.key);
        EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
        std::wstring text;
        EXPECT_TRUE(ReadClipboardText(&text));
        EXPECT_EQ(std::wstring(c.text), text);

        // One format placed by the program; the system adds the other text forms and the locale
        // for a text in CF_UNICODETEXT on its own. The marker of the earlier content is gone.
        std::vector<UINT> const formats = ClipboardFormats();
        bool unicode = false;
        for (UINT format : formats) {
            if (format == CF_UNICODETEXT)
                unicode = true;
            else
                EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_LOCALE)
                    << "unexpected clipboard format " << format;
        }
        EXPECT_TRUE(unicode) << "no CF_UNICODETEXT on the clipboard";

        // In direct picker mode a copy does not end the program; Esc does.
        EXPECT_TRUE(DrainMessages(picker)) << "the program ended after the copy";
        ExpectEndsWithEsc();
    }
}

TEST_F(MagnifierTest, CopyWaitsForAClipboardThatAnotherProgramHoldsBriefly) {
    ASSERT_TRUE(ShowPatterns(kSolidArguments, [] { return ScreenShowsColour(kSolidRect, kSolidColour); }));
    ASSERT_TRUE(FillClipboard(L"stale"));
    HWND const picker = StartPicker(640, 400);
    ASSERT_NE(nullptr, picker);
    ASSERT_TRUE(DrainMessages(picker));
    // A clipboard manager reads the clipboard just as the user presses the key. It lets go once the
    // program waits for it: the program's thread, busy with the copy, then does not answer.
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Open());
    SendKeyEvent('1', false);
    bool const waiting = WaitUntil([&] { return Busy(picker); }, kStartTimeoutMs);
    holder.Close();
    SendKeyEvent('1', true);
    EXPECT_TRUE(waiting) << "the key did not wait for the clipboard";
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(L"#0AC81E", text);
    ExpectEndsWithEsc();
}

TEST_F(MagnifierTest, ClipboardHeldLongerLosesTheCopyButThePickerStillEnds) {
    ASSERT_TRUE(ShowPatterns(kSolidArguments, [] { return ScreenShowsColour(kSolidRect, kSolidColour); }));
    ASSERT_TRUE(FillClipboard(L"stale"));
    ASSERT_NE(nullptr, StartPicker(640, 400));
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Open());
    PressKey('1');
    // The program gives up after a bounded wait instead of hanging on the clipboard.
    bool const hidden = WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000);
    holder.Close();
    EXPECT_TRUE(hidden) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(L"stale", text);
    ExpectEndsWithEsc();
}

// Magnified pixels, box, frame and strips, read back from the screen at the opening zoom and at
// the largest one.
TEST_F(MagnifierTest, DrawsEachScreenPixelAsASolidBlockWithTheBoxOnThePixelUnderTheCursor) {
    Grid const grid = {384, 272, 256, 256};
    POINT const cursor = {512, 400};
    ASSERT_TRUE(ShowPatterns(grid.Arguments(), [&] { return ScreenShows(grid); }));
    HWND const picker = StartPicker(cursor.x, cursor.y);
    ASSERT_NE(nullptr, picker);

    struct Case {
        int wheelNotches;
        int zoom;
        int dx, dy;              // the source is (2 dx) x (2 dy) screen pixels round the cursor
        int minBlock, maxBlock;  // sizes of a block in window pixels
    };
    Case const cases[] = {
        // 384 / 2 / 10 = 19.2 and 256 / 2 / 10 = 12.8 are truncated: 38 x 24 pixels are stretched
        // over 384 x 256, so blocks are 10 or 11 wide (384 / 38) and 10 or 11 high (256 / 24).
        {0, kZoomAtOpen, 19, 12, 10, 11},
        // Six steps up from 10 reach the largest zoom: 24 x 16 pixels, each exactly 16 x 16.
        {6, 16, 12, 8, 16, 16},
    };
    int const w = kPickerWidth, h = kPickerHeight;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom);
        Wheel(c.wheelNotches);
        // The box is drawn at (w/2 + 1, h/2 + 1) and is `zoom` wide: wait for a paint at this zoom.
        int const boxLeft = w / 2 + 1, boxTop = h / 2 + 1;
        auto const boxEdgeAt = [&](const Capture& shot, int x) {
            return GetBValue(shot.At(x, boxTop + c.zoom / 2)) == 0;
        };
        // A zoom step repaints at once over the last source; the source round the cursor follows
        // at the next update: wait for that too, where the clean row and column cross.
        int const cleanRow = 56, cleanColumn = 56;
        auto const followed = [&](const Capture& s) {
            POINT at;
            return grid.Position(s.At(cleanColumn, cleanRow), &at) &&
                   at.x == cursor.x - c.dx + cleanColumn * 2 * c.dx / w &&
                   at.y == cursor.y - c.dy + cleanRow * 2 * c.dy / h;
        };
        // The window is where the capture looks (on the X server it moves a little after the
        // system says it has): its frame runs along the capture's edges.
        auto const framed = [&](const Capture& s) {
            return ShowsUnderPen(grid, s.At(0, 100)) && ShowsUnderPen(grid, s.At(w - 1, 100)) &&
                   ShowsUnderPen(grid, s.At(100, 0)) && ShowsUnderPen(grid, s.At(100, h - 1));
        };
        Capture shot;
        bool const ready = CapturePicker(picker, &shot, [&](const Capture& s) {
            return s.Width() == w && s.Height() == h && boxEdgeAt(s, boxLeft + c.zoom - 1) &&
                   !boxEdgeAt(s, boxLeft + c.zoom + 2) && !boxEdgeAt(s, boxLeft + c.zoom - 4) &&
                   followed(s) && framed(s);
        });
        ASSERT_TRUE(ready) << "no paint at zoom " << c.zoom << "; see " << shot.Save(L"magnifier_zoom");

        // The clean row and column, away from the strips, the box and the frame, give which screen
        // column and row each window column and row shows. Both lie in the middle of a block at
        // either zoom.
        std::vector<int> columnShown(w, -1), rowShown(h, -1);
        for (int x = kFrameMargin; x < w - kFrameMargin; ++x) {
            POINT at;
            if (grid.Position(shot.At(x, cleanRow), &at)) {
                columnShown[x] = at.x;
                EXPECT_EQ(cursor.y - c.dy + cleanRow * 2 * c.dy / h, at.y)
                    << "row " << cleanRow << " x " << x;
            }
        }
        for (int y = kStripsMargin; y < h - kStripsMargin; ++y) {
            POINT at;
            if (grid.Position(shot.At(cleanColumn, y), &at)) {
                rowShown[y] = at.y;
                EXPECT_EQ(cursor.x - c.dx + cleanColumn * 2 * c.dx / w, at.x) << "column " << cleanColumn;
            }
        }
        // Across the whole width the source columns cursor - dx to cursor + dx - 1 follow each
        // other; down the picture (the strips hide the top and bottom rows) the source rows do.
        ExpectBlocks(Runs(columnShown, kFrameMargin, w - kFrameMargin), cursor.x - c.dx, cursor.x + c.dx - 1,
                     c.minBlock, c.maxBlock, "columns");
        ExpectBlocks(
            Runs(rowShown, kStripsMargin, h - kStripsMargin), cursor.y - c.dy + kStripsMargin * 2 * c.dy / h,
            cursor.y - c.dy + (h - kStripsMargin - 1) * 2 * c.dy / h, c.minBlock, c.maxBlock, "rows");
        if (c.minBlock == c.maxBlock) {
            for (int x = kFrameMargin; x < w - kFrameMargin; ++x)
                EXPECT_EQ(cursor.x - c.dx + x / c.zoom, columnShown[x]) << "x " << x;
            for (int y = kStripsMargin; y < h - kStripsMargin; ++y)
                EXPECT_EQ(cursor.y - c.dy + y / c.zoom, rowShown[y]) << "y " << y;
        }

        // Every other pixel of the picture repeats its column's and row's screen pixel: solid
        // blocks, no blending (the box's neighbourhood is looked at below).
        int wrong = 0;
        for (int y = kStripsMargin; y < h - kStripsMargin; ++y) {
            for (int x = kFrameMargin; x < w - kFrameMargin; ++x) {
                bool const nearBox = x >= boxLeft - 3 && x <= boxLeft + c.zoom + 3 && y >= boxTop - 3 &&
                                     y <= boxTop + c.zoom + 3;
                if (nearBox || columnShown[x] < 0 || rowShown[y] < 0) continue;
                if (shot.At(x, y) != grid.ColourAt(columnShown[x], rowShown[y])) ++wrong;
            }
        }
        EXPECT_EQ(0, wrong) << "pixels off their block; see " << shot.Save(L"magnifier_blocks");

        // Inside the box: the pixel under the cursor.
        POINT shown = {};
        EXPECT_TRUE(grid.Position(shot.At(boxLeft + c.zoom / 2, boxTop + c.zoom / 2), &shown));
        EXPECT_EQ(cursor.x, shown.x);
        EXPECT_EQ(cursor.y, shown.y);

        // The box: its outline inverts the picture under the yellow pen, from boxLeft - 1 to
        // boxLeft + zoom - 1 across and from boxTop - 1 to boxTop + zoom - 1 down; nothing else
        // near it is touched.
        auto const expectEdges = [&](bool across) {
            std::vector<int> edges;
            for (int d = -8; d <= c.zoom + 8; ++d) {
                int const x = across ? boxLeft + d : boxLeft + c.zoom / 2;
                int const y = across ? boxTop + c.zoom / 2 : boxTop + d;
                COLORREF const pixel = shot.At(x, y);
                if (GetBValue(pixel) != 0) continue;
                EXPECT_TRUE(ShowsUnderPen(grid, pixel)) << "box at " << x << "," << y;
                edges.push_back(d);
            }
            // The outline runs through the rectangle's first and last pixel, boxLeft and
            // boxLeft + zoom - 1, with a 2-pixel pen on the pixel before each.
            std::vector<int> const expected = {-1, 0, c.zoom - 2, c.zoom - 1};
            EXPECT_EQ(expected, edges) << (across ? "box edges across" : "box edges down") << "; see "
                                       << shot.Save(L"magnifier_box");
        };
        expectEdges(true);
        expectEdges(false);

        // The frame along the window's edge inverts the picture under it in the same way.
        for (POINT const p : {POINT{1, 100}, POINT{w - 2, 100}, POINT{100, 1}, POINT{100, h - 2}}) {
            EXPECT_TRUE(ShowsUnderPen(grid, shot.At(p.x, p.y))) << "frame at " << p.x << "," << p.y;
        }

        // The strips are white with black text, inside the frame.
        for (int stripY : {11, h - 12}) {
            EXPECT_EQ(RGB(255, 255, 255), shot.At(kFrameMargin, stripY));
            EXPECT_EQ(RGB(255, 255, 255), shot.At(w - 1 - kFrameMargin, stripY));
            int dark = 0;
            for (int y = stripY - 7; y <= stripY + 7; ++y)
                for (int x = kFrameMargin; x < w - kFrameMargin; ++x)
                    if (shot.At(x, y) == RGB(0, 0, 0)) ++dark;
            EXPECT_GT(dark, 20) << "no text in the strip at y " << stripY;
        }
    }
    ExpectEndsWithEsc();
}

// 40 x 40 grids in the four corners of the screen: each pixel differs from its neighbours, so a
// colour read one pixel off would show.
Grid const kCornerGrids[] = {
    {0, 0, 40, 40},
    {kScreenWidth - 40, 0, 40, 40},
    {0, kScreenHeight - 40, 40, 40},
    {kScreenWidth - 40, kScreenHeight - 40, 40, 40},
};

std::wstring CornerArguments() {
    std::wstring arguments;
    for (const Grid& grid : kCornerGrids) arguments += grid.Arguments() + L" ";
    return arguments;
}

bool ScreenShowsCorners() {
    for (const Grid& grid : kCornerGrids)
        if (!ScreenShows(grid)) return false;
    return true;
}

TEST_F(MagnifierTest, ReadsThePixelUnderTheCursorOnTheOuterRowsAndColumnsOfTheScreen) {
    ASSERT_TRUE(ShowPatterns(CornerArguments(), ScreenShowsCorners));
    struct Case {
        int x, y;
        int nudgeX, nudgeY;  // back into the screen
        const Grid& grid;
    };
    Case const cases[] = {
        {0, 0, 1, 1, kCornerGrids[0]},
        {kScreenWidth - 1, 0, -1, 1, kCornerGrids[1]},
        {0, kScreenHeight - 1, 1, -1, kCornerGrids[2]},
        {kScreenWidth - 1, kScreenHeight - 1, -1, -1, kCornerGrids[3]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.x << "," << c.y);
        ASSERT_NE(nullptr, StartPicker(c.x, c.y, c.nudgeX, c.nudgeY));
        ASSERT_EQ(c.x, CursorPos().x);
        ASSERT_EQ(c.y, CursorPos().y);
        PressKey('1');
        EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
        std::wstring text;
        EXPECT_TRUE(ReadClipboardText(&text));
        EXPECT_EQ(HexText(c.grid.ColourAt(c.x, c.y)), text);
    }
}

// 40 x 40 grids in the middle of each edge: top, right, bottom, left.
Grid const kEdgeGrids[] = {
    {620, 0, 40, 40},
    {kScreenWidth - 40, 380, 40, 40},
    {620, kScreenHeight - 40, 40, 40},
    {0, 380, 40, 40},
};

// The first and last column of black pixels in a band of rows of a capture; -1 when there are none.
struct Ink {
    int left = -1, right = -1;
};

Ink InkIn(const Capture& shot, int top, int bottom) {
    Ink ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.At(x, y) == RGB(0, 0, 0)) {
                if (ink.left < 0 || x < ink.left) ink.left = x;
                if (x > ink.right) ink.right = x;
            }
    return ink;
}

// The width of the label's characters for a colour, in the font the picker draws with (the one a
// new device context has).
int LabelWidth(COLORREF colour) {
    wchar_t text[64];
    wsprintfW(text, L"%s || %d,%d,%d", HexText(colour).c_str(), GetRValue(colour), GetGValue(colour),
              GetBValue(colour));
    HDC const screen = GetDC(nullptr);
    SIZE size = {};
    GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
    ReleaseDC(nullptr, screen);
    return size.cx;
}

// The block of a capture that shows one colour: its bounding rectangle, empty when it is nowhere.
RECT BlockOf(const Capture& shot, COLORREF colour) {
    RECT block = {shot.Width(), shot.Height(), -1, -1};
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.At(x, y) == colour) {
                block.left = std::min(block.left, LONG(x));
                block.top = std::min(block.top, LONG(y));
                block.right = std::max(block.right, LONG(x + 1));
                block.bottom = std::max(block.bottom, LONG(y + 1));
            }
    return block;
}

// At the corners and edges of the screen, reached with real pointer moves, the picker stays whole
// on the screen: the label is all there, and the box marks the pixel under the cursor, which the
// view shows near the cursor's place instead of in its middle. The key copies that pixel.
TEST_F(MagnifierTest, AtTheCornersAndEdgesThePickerStaysOnTheScreenWithItsLabelWhole) {
    std::wstring arguments = CornerArguments();
    for (const Grid& grid : kEdgeGrids) arguments += grid.Arguments() + L" ";
    ASSERT_TRUE(ShowPatterns(arguments, [] {
        for (const Grid& grid : kEdgeGrids)
            if (!ScreenShows(grid)) return false;
        return ScreenShowsCorners();
    }));
    ASSERT_TRUE(FillClipboard(L"stale"));
    HWND const picker = StartPicker(640, 400);
    ASSERT_NE(nullptr, picker);
    int const w = kPickerWidth, h = kPickerHeight;
    struct Case {
        const wchar_t* name;  // of the screenshot, for the corners
        int x, y;
        const Grid& grid;
    };
    Case const cases[] = {
        {L"top_left", 0, 0, kCornerGrids[0]},
        {nullptr, 640, 0, kEdgeGrids[0]},
        {L"top_right", kScreenWidth - 1, 0, kCornerGrids[1]},
        {nullptr, kScreenWidth - 1, 400, kEdgeGrids[1]},
        {L"bottom_right", kScreenWidth - 1, kScreenHeight - 1, kCornerGrids[3]},
        {nullptr, 640, kScreenHeight - 1, kEdgeGrids[2]},
        {L"bottom_left", 0, kScreenHeight - 1, kCornerGrids[2]},
        {nullptr, 0, 400, kEdgeGrids[3]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.x << "," << c.y);
        ASSERT_TRUE(Xdotool(L"mousemove " + std::to_wstring(c.x) + L" " + std::to_wstring(c.y)));
        ASSERT_TRUE(WaitUntil([&] { return CursorPos().x == c.x && CursorPos().y == c.y; }, 2000));
        COLORREF const under = c.grid.ColourAt(c.x, c.y);
        RECT const placed = PlacedFor(c.x, c.y);
        // Painted there: the box round the cursor's pixel, which shows between its outlines.
        Capture shot;
        RECT block = {};
        bool const ready = WaitUntil(
            [&] {
                RECT const r = WindowRect(picker);
                if (!EqualRect(&r, &placed) || !shot.Take(placed)) return false;
                block = BlockOf(shot, under);
                return block.right > block.left &&
                       shot.At(block.left - 1, (block.top + block.bottom) / 2) == MaskedByYellowPen(under);
            },
            3000);
        ASSERT_TRUE(ready) << "no box round the cursor's pixel; see " << shot.Save(L"magnifier_edge");
        // The box is one magnified pixel, clear of the frame and the strips, and where the cursor
        // is: within a magnified pixel of the one the frame or a strip covers there.
        EXPECT_LE(block.right - block.left, kZoomAtOpen);
        EXPECT_LE(block.bottom - block.top, kZoomAtOpen);
        EXPECT_GE(block.left, kFrameMargin);
        EXPECT_LE(block.right, w - kFrameMargin);
        EXPECT_GE(block.top, kStripsMargin - 2);
        EXPECT_LE(block.bottom, h - kStripsMargin + 2);
        int const placeX = c.x - placed.left, placeY = c.y - placed.top;
        EXPECT_NEAR(placeX, (block.left + block.right) / 2, 2 * kZoomAtOpen)
            << "the box is not at the cursor";
        int const nearY = std::min(std::max(placeY, kStripsMargin), h - kStripsMargin);
        EXPECT_NEAR(nearY, (block.top + block.bottom) / 2, 2 * kZoomAtOpen) << "the box is not at the cursor";

        // The label in the top strip: the colour's text at its full width, centred in the strip.
        Ink const ink = InkIn(shot, 2, 20);
        ASSERT_GE(ink.left, 0) << "no label";
        EXPECT_NEAR(LabelWidth(under), ink.right + 1 - ink.left, 3) << "the label is cut";
        EXPECT_NEAR(w / 2, (ink.left + ink.right) / 2, 3) << "the label is off centre";
        if (c.name) {
            // The corner of the screen with the picker in it.
            RECT around = placed;
            InflateRect(&around, 48, 48);
            RECT const screen = {0, 0, kScreenWidth, kScreenHeight};
            IntersectRect(&around, &around, &screen);
            EXPECT_TRUE(SaveScreenshot(around, ScreenshotDir() + L"\\picker_at_" + c.name + L".png"));
        }
    }
    // At the last place, the left edge: the key copies the pixel under the cursor.
    PressKey('1');
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(HexText(kEdgeGrids[3].ColourAt(0, 400)), text);
    ExpectEndsWithEsc();
}

}  // namespace
}  // namespace e2e
