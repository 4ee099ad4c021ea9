// The magnified view and the clipboard export as a user meets them: exact pixel patterns on the
// screen (pattern_window.exe), the picker in direct picker mode over them, and what reaches the
// screen and the clipboard, read by this process as any other program would read them.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
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

// The display scale this test process (and the program it starts) runs at.
int ScreenDpi() {
    HDC const screen = GetDC(nullptr);
    int const dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The picker's size at the scale: 384 x 256 at 96 DPI.
SIZE PickerSize() {
    return {MulDiv(kPickerWidth, ScreenDpi(), 96), MulDiv(kPickerHeight, ScreenDpi(), 96)};
}

// The picker centred on the cursor and moved back onto its monitor where it would leave it.
RECT PlacedFor(int x, int y, const RECT& monitor = {0, 0, kScreenWidth, kScreenHeight}) {
    int const width = PickerSize().cx, height = PickerSize().cy;
    int const left = std::min(std::max(x - width / 2, int(monitor.left)), int(monitor.right) - width);
    int const top = std::min(std::max(y - height / 2, int(monitor.top)), int(monitor.bottom) - height);
    return {left, top, left + width, top + height};
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

// Holds the thread of a window still where it is until the end of the scope (or of the test: a
// failed check does not leave the program frozen).
class ThreadPause {
  public:
    explicit ThreadPause(HWND window)
        : thread_(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE,
                             GetWindowThreadProcessId(window, nullptr))),
          suspended_(thread_ && SuspendThread(thread_) != DWORD(-1)) {}
    ~ThreadPause() {
        if (suspended_) ResumeThread(thread_);
        if (thread_) CloseHandle(thread_);
    }
    ThreadPause(const ThreadPause&) = delete;
    ThreadPause& operator=(const ThreadPause&) = delete;

    // Whether the thread has stopped. SuspendThread only asks a thread of another process to stop;
    // asking for its registers waits until it has.
    bool Paused() const {
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        return suspended_ && GetThreadContext(thread_, &context);
    }

  private:
    HANDLE thread_;
    bool suspended_;
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
        EXPECT_TRUE(NudgeCursor({x, y}, nudgeX, nudgeY)) << "the pointer did not come back";
        // Back where it was: the picker is placed for the cursor again, and has painted there.
        RECT const placed = PlacedFor(x, y);
        EXPECT_TRUE(WaitUntil(
            [&] {
                RECT const r = WindowRect(picker);
                return EqualRect(&r, &placed) != FALSE;
            },
            kStartTimeoutMs))
            << "the picker did not follow the cursor back: its left top at " << WindowRect(picker).left << ","
            << WindowRect(picker).top << " instead of " << placed.left << "," << placed.top
            << ", the cursor at " << CursorPos().x << "," << CursorPos().y;
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

// A clipboard manager reads the clipboard just as the user presses the key. Let go once the program
// waits for it (the program's thread, busy with the copy, then does not answer), the copy goes
// through; held on, the program gives up after a bounded wait instead of hanging, the earlier
// content stays, and the picker hides all the same. The program counts its tries: held still
// between two of them while the clipboard is let go, it has tries left however long a loaded
// machine keeps the test from running.
TEST_F(MagnifierTest, CopyWaitsBrieflyForAClipboardThatAnotherProgramHolds) {
    ASSERT_TRUE(ShowPatterns(kSolidArguments, [] { return ScreenShowsColour(kSolidRect, kSolidColour); }));
    struct {
        const char* what;
        bool letGoWhileWaiting;
        const wchar_t* text;
    } const cases[] = {
        {"let go while the program waits", true, L"#0AC81E"},
        {"held until the picker has gone", false, L"stale"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(FillClipboard(L"stale"));
        HWND const picker = StartPicker(640, 400);
        ASSERT_NE(nullptr, picker);
        ASSERT_TRUE(DrainMessages(picker));
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Open());
        bool hidden = false;
        if (c.letGoWhileWaiting) {
            SendKeyEvent('1', false);
            bool const waiting = WaitUntil([&] { return Busy(picker); }, kStartTimeoutMs);
            {
                ThreadPause const pause(picker);
                ASSERT_TRUE(pause.Paused());
                EXPECT_TRUE(waiting) << "the key did not wait for the clipboard";
                EXPECT_TRUE(IsWindowVisible(picker)) << "the program gave up before the clipboard was let go";
                holder.Close();
            }
            SendKeyEvent('1', true);
            hidden = WaitForNoWindow(kPickerClass, huepeek_->Id(), kExitTimeoutMs);
        } else {
            PressKey('1');
            hidden = WaitForNoWindow(kPickerClass, huepeek_->Id(), kExitTimeoutMs);
            holder.Close();
        }
        EXPECT_TRUE(hidden) << "the picker is still shown";
        std::wstring text;
        EXPECT_TRUE(ReadClipboardText(&text));
        EXPECT_EQ(std::wstring(c.text), text);
        ExpectEndsWithEsc();
    }
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

std::vector<RECT> Monitors() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM list) {
            reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// A place on a monitor for the cursor, and the 40 x 40 grid round it there.
struct EdgePlace {
    std::wstring name;  // of the screenshot, for the corners
    int x, y;
    Grid grid;
};

// The four corners and the middles of the four edges of a monitor, going round it.
std::vector<EdgePlace> EdgePlaces(const RECT& m, const std::wstring& suffix) {
    int const size = 40;
    int const midX = (m.left + m.right) / 2, midY = (m.top + m.bottom) / 2;
    int const right = m.right - 1, bottom = m.bottom - 1;
    int const gridRight = m.right - size, gridBottom = m.bottom - size;
    return {
        {L"top_left" + suffix, m.left, m.top, {m.left, m.top, size, size}},
        {L"", midX, m.top, {midX - size / 2, m.top, size, size}},
        {L"top_right" + suffix, right, m.top, {gridRight, m.top, size, size}},
        {L"", right, midY, {gridRight, midY - size / 2, size, size}},
        {L"bottom_right" + suffix, right, bottom, {gridRight, gridBottom, size, size}},
        {L"", midX, bottom, {midX - size / 2, gridBottom, size, size}},
        {L"bottom_left" + suffix, m.left, bottom, {m.left, gridBottom, size, size}},
        {L"", m.left, midY, {m.left, midY - size / 2, size, size}},
    };
}

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

// The width of the label's characters for a colour, in the font the picker draws with: the
// system's message font in bold, 12 pixels high at 96 DPI.
int LabelWidth(COLORREF colour, int dpi = 96) {
    wchar_t text[64];
    wsprintfW(text, L"%s || %d,%d,%d", HexText(colour).c_str(), GetRValue(colour), GetGValue(colour),
              GetBValue(colour));
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW logFont = metrics.lfMessageFont;
    logFont.lfHeight = -MulDiv(12, dpi, 96);
    logFont.lfWidth = 0;
    logFont.lfWeight = FW_BOLD;
    HFONT const font = CreateFontIndirectW(&logFont);
    HDC const screen = GetDC(nullptr);
    HGDIOBJ const previous = SelectObject(screen, font);
    SIZE size = {};
    GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return size.cx;
}

// The inside of the box round the pixel of a colour: the run of that colour across and down
// through the middle of its block, whose first pixel outside on the left is the box's outline.
// Empty where there is no such box.
RECT BoxInside(const Capture& shot, COLORREF colour) {
    RECT block = {shot.Width(), shot.Height(), -1, -1};
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.At(x, y) == colour) {
                block.left = std::min(block.left, LONG(x));
                block.top = std::min(block.top, LONG(y));
                block.right = std::max(block.right, LONG(x + 1));
                block.bottom = std::max(block.bottom, LONG(y + 1));
            }
    int const cx = (block.left + block.right) / 2, cy = (block.top + block.bottom) / 2;
    if (block.right <= block.left || shot.At(cx, cy) != colour) return {};
    RECT inside = {cx, cy, cx + 1, cy + 1};
    while (inside.left > 0 && shot.At(inside.left - 1, cy) == colour) --inside.left;
    while (inside.right < shot.Width() && shot.At(inside.right, cy) == colour) ++inside.right;
    while (inside.top > 0 && shot.At(cx, inside.top - 1) == colour) --inside.top;
    while (inside.bottom < shot.Height() && shot.At(cx, inside.bottom) == colour) ++inside.bottom;
    if (inside.left == 0 || shot.At(inside.left - 1, cy) != MaskedByYellowPen(colour)) return {};
    return inside;
}

// At the corners and edges of every monitor, reached with real pointer moves, the picker stays
// whole on the monitor: the label is all there, and the box marks the pixel under the cursor, which
// the view shows near the cursor's place instead of in its middle. The key copies that pixel.
TEST_F(MagnifierTest, AtTheCornersAndEdgesThePickerStaysOnTheMonitorWithItsLabelWhole) {
    std::vector<RECT> const monitors = Monitors();
    ASSERT_FALSE(monitors.empty());
    std::vector<std::pair<RECT, EdgePlace>> cases;
    std::wstring arguments;
    for (size_t i = 0; i < monitors.size(); ++i) {
        std::wstring const suffix = monitors.size() > 1 ? L"_" + std::to_wstring(i + 1) : L"";
        for (const EdgePlace& place : EdgePlaces(monitors[i], suffix)) {
            cases.push_back({monitors[i], place});
            arguments += place.grid.Arguments() + L" ";
        }
    }
    ASSERT_TRUE(ShowPatterns(arguments, [&] {
        for (const auto& c : cases)
            if (!ScreenShows(c.second.grid)) return false;
        return true;
    }));
    ASSERT_TRUE(FillClipboard(L"stale"));
    HWND const picker = StartPicker(640, 400);
    ASSERT_NE(nullptr, picker);
    int const w = kPickerWidth, h = kPickerHeight;
    // xdotool's coordinates begin at the virtual screen's corner.
    int const originX = GetSystemMetrics(SM_XVIRTUALSCREEN), originY = GetSystemMetrics(SM_YVIRTUALSCREEN);
    for (const auto& each : cases) {
        const RECT& monitor = each.first;
        const EdgePlace& c = each.second;
        SCOPED_TRACE(testing::Message() << "cursor " << c.x << "," << c.y);
        ASSERT_TRUE(
            Xdotool(L"mousemove " + std::to_wstring(c.x - originX) + L" " + std::to_wstring(c.y - originY)));
        ASSERT_TRUE(WaitUntil([&] { return CursorPos().x == c.x && CursorPos().y == c.y; }, 2000));
        COLORREF const under = c.grid.ColourAt(c.x, c.y);
        RECT const placed = PlacedFor(c.x, c.y, monitor);
        // Painted there: the box round the cursor's pixel, which shows between its outlines.
        Capture shot;
        RECT block = {};
        bool const ready = WaitUntil(
            [&] {
                RECT const r = WindowRect(picker);
                if (!EqualRect(&r, &placed) || !shot.Take(placed)) return false;
                block = BoxInside(shot, under);
                return block.right > block.left;
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
        if (!c.name.empty()) {
            // The corner of the monitor with the picker in it.
            RECT around = placed;
            InflateRect(&around, 48, 48);
            IntersectRect(&around, &around, &monitor);
            EXPECT_TRUE(SaveScreenshot(around, ScreenshotDir() + L"\\picker_at_" + c.name + L".png"));
        }
    }
    // At the last place, the left edge of the last monitor: the key copies the pixel under the cursor.
    PressKey('1');
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    const EdgePlace& last = cases.back().second;
    EXPECT_EQ(HexText(last.grid.ColourAt(last.x, last.y)), text);
    ExpectEndsWithEsc();
}

// At 150 % and 200 % the picker is larger by the scale, each screen pixel a block of zoom x zoom
// pixels of 96 DPI, the label whole in its larger strip, and the key copies the pixel under the
// cursor. Run at those scales only (with GTEST_ALSO_RUN_DISABLED_TESTS=1 under LogPixels 144 or
// 192); at 100 % it skips itself.
TEST_F(MagnifierTest, DISABLED_AtTheDisplayScaleThePickerIsLargerAndCopiesThePixelUnderTheCursor) {
    int const dpi = ScreenDpi();
    if (dpi == 96) GTEST_SKIP() << "runs at another display scale";
    Grid const grid = {384, 272, 256, 256};
    POINT const cursor = {512, 400};
    ASSERT_TRUE(ShowPatterns(grid.Arguments(), [&] { return ScreenShows(grid); }));
    ASSERT_TRUE(FillClipboard(L"stale"));
    HWND const picker = StartPicker(cursor.x, cursor.y);
    ASSERT_NE(nullptr, picker);
    RECT const placed = PlacedFor(cursor.x, cursor.y);
    EXPECT_EQ(MulDiv(384, dpi, 96), placed.right - placed.left);
    COLORREF const under = grid.ColourAt(cursor.x, cursor.y);
    Capture shot;
    RECT block = {};
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!shot.Take(placed)) return false;
            block = BoxInside(shot, under);
            return block.right > block.left;
        },
        3000))
        << "no box round the cursor's pixel; see " << shot.Save(L"magnifier_scaled");
    // The box's inside: one block of zoom x zoom pixels of 96 DPI less its outline (of a pen two
    // pixels wide at 96 DPI), in the middle.
    int const blockSize = MulDiv(kZoomAtOpen, dpi, 96), pen = MulDiv(2, dpi, 96);
    for (int inside : {int(block.right - block.left), int(block.bottom - block.top)}) {
        EXPECT_GE(inside, blockSize - 2 * pen);
        EXPECT_LE(inside, blockSize);
    }
    EXPECT_NEAR(shot.Width() / 2, block.left, 3);
    EXPECT_NEAR(shot.Height() / 2, block.top, 3);
    // The label in the top strip, as wide as its text in the scale's font, centred.
    int const strip = MulDiv(18, dpi, 96), frame = MulDiv(2, dpi, 96);
    Ink const ink = InkIn(shot, frame, frame + strip);
    ASSERT_GE(ink.left, 0) << "no label";
    // Black where the text's strokes are whole: the ends of its ink may be a pixel or two short.
    int const slack = MulDiv(3, dpi, 96);
    EXPECT_NEAR(LabelWidth(under, dpi), ink.right + 1 - ink.left, slack) << "the label is cut";
    EXPECT_NEAR(shot.Width() / 2, (ink.left + ink.right) / 2, slack) << "the label is off centre";
    EXPECT_TRUE(
        SaveScreenshot(placed, ScreenshotDir() + L"\\picker_at_" + std::to_wstring(dpi) + L"dpi.png"));

    PressKey('1');
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_->Id(), 2000)) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(HexText(under), text);
    ExpectEndsWithEsc();
}

}  // namespace
}  // namespace e2e
