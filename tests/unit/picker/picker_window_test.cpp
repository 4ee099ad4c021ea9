// The picker window of this test process: a real window, real timers and messages.
#include "picker/picker_window.h"

#include <gtest/gtest.h>

#include <string>

#include "base/process_state.h"
#include "harness.h"

namespace {

void Wheel(int notches) {
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
        SendMessageW(g_picker.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA),
                     0);
}

class PickerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_instance = GetModuleHandleW(nullptr);
        SetCursorPos(640, 400);
    }
    void TearDown() override { HidePicker(); }
};

TEST_F(PickerWindowTest, WheelZoomsInWholeStepsWithinBoundsAndSurvivesReopening) {
    OpenPicker();
    ASSERT_NE(nullptr, g_picker.hwnd);
    EXPECT_TRUE(IsWindowVisible(g_picker.hwnd));
    float const start = g_picker.zoom;
    Wheel(-20);
    EXPECT_EQ(1.0f, g_picker.zoom);
    Wheel(9);
    EXPECT_EQ(10.0f, g_picker.zoom);
    Wheel(6);
    EXPECT_EQ(16.0f, g_picker.zoom);
    Wheel(1);
    EXPECT_EQ(16.0f, g_picker.zoom);
    // A zero delta changes nothing; scroll-bar requests zoom too.
    SendMessageW(g_picker.hwnd, WM_MOUSEWHEEL, 0, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(15.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_VSCROLL, SB_THUMBPOSITION, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);

    Wheel(-3);
    HidePicker();
    EXPECT_FALSE(IsWindowVisible(g_picker.hwnd));
    EXPECT_EQ(nullptr, g_picker.snapshotDc) << "the snapshot is released on hide";
    OpenPicker();
    EXPECT_EQ(13.0f, g_picker.zoom) << "opening again keeps the zoom chosen with the wheel (started at "
                                    << start << ")";
}

TEST_F(PickerWindowTest, ShowFixesTheSizeAndCentresOnTheCursor) {
    OpenPicker();
    EXPECT_EQ(384, g_picker.currentWidth);
    EXPECT_EQ(256, g_picker.currentHeight);
    RECT rect;
    GetWindowRect(g_picker.hwnd, &rect);
    EXPECT_EQ(448, rect.left);
    EXPECT_EQ(272, rect.top);
    EXPECT_EQ(384, rect.right - rect.left);
    EXPECT_EQ(256, rect.bottom - rect.top);
    EXPECT_EQ(1, g_picker.shown);
    EXPECT_NE(nullptr, g_picker.snapshotDc);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Shift as the thread's key state has it, which the key handler reads. (Held as real input, Wine
// can keep Shift down after the picker has moved the cursor, so it is set here.)
void SetShift(bool down) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

POINT Cursor() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
}

TEST_F(PickerWindowTest, ArrowKeysMoveTheCursorOnePixelOrTenWithShiftAndThePickerFollows) {
    OpenPicker();
    int const right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int const top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    struct {
        POINT from;
        WORD key;
        bool shift;
        POINT to;
    } const cases[] = {
        {{640, 400}, VK_RIGHT, false, {641, 400}},
        {{640, 400}, VK_LEFT, false, {639, 400}},
        {{640, 400}, VK_UP, false, {640, 399}},
        {{640, 400}, VK_DOWN, false, {640, 401}},
        {{640, 400}, VK_RIGHT, true, {650, 400}},
        {{640, 400}, VK_UP, true, {640, 390}},
        {{right - 4, 400}, VK_RIGHT, true, {right - 1, 400}},  // stops at the last column
        {{right - 1, 400}, VK_RIGHT, false, {right - 1, 400}},
        {{640, top + 3}, VK_UP, true, {640, top}},
    };
    for (const auto& c : cases) {
        SetCursorPos(c.from.x, c.from.y);
        UpdatePicker(false);
        SetShift(c.shift);
        SendMessageW(g_picker.hwnd, WM_KEYDOWN, c.key, 0);
        SetShift(false);
        POINT const now = Cursor();
        EXPECT_EQ(c.to.x, now.x) << "key " << c.key << (c.shift ? " with Shift" : "") << " from " << c.from.x;
        EXPECT_EQ(c.to.y, now.y) << "key " << c.key << (c.shift ? " with Shift" : "") << " from " << c.from.y;
        // At once, not at the next tick: the window is centred on the new position, or as near
        // as the screen's edge lets it be.
        RECT rect;
        GetWindowRect(g_picker.hwnd, &rect);
        EXPECT_EQ(c.to.x - 192 < right - 384 ? c.to.x - 192 : right - 384, rect.left)
            << "the picker did not follow";
    }
}

// "+" and "-" by character, from the main keyboard or (through the message loop's translation) the
// numeric keypad, in the wheel's steps and within its limits.
TEST_F(PickerWindowTest, PlusAndMinusZoomAsTheWheelDoes) {
    OpenPicker();
    Wheel(-20);
    ASSERT_EQ(1.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_CHAR, '-', 0);
    EXPECT_EQ(1.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_CHAR, '+', 0);
    EXPECT_EQ(2.0f, g_picker.zoom);
    PostMessageW(g_picker.hwnd, WM_KEYDOWN, VK_ADD, 0);
    PumpMessages();
    EXPECT_EQ(3.0f, g_picker.zoom) << "keypad +";
    PostMessageW(g_picker.hwnd, WM_KEYDOWN, VK_SUBTRACT, 0);
    PumpMessages();
    EXPECT_EQ(2.0f, g_picker.zoom) << "keypad -";
    Wheel(20);
    SendMessageW(g_picker.hwnd, WM_CHAR, '+', 0);
    EXPECT_EQ(16.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_CHAR, '=', 0);
    SendMessageW(g_picker.hwnd, WM_CHAR, '1', 0);
    EXPECT_EQ(16.0f, g_picker.zoom) << "other characters do not zoom";
}

// Closing hides the picker as Esc does and keeps the window; a window destroyed all the same is
// made again by the next opening.
TEST_F(PickerWindowTest, ClosedOrDestroyedPickerOpensAgain) {
    OpenPicker();
    HWND const first = g_picker.hwnd;
    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(0, g_picker.shown);
    EXPECT_EQ(nullptr, g_picker.snapshotDc);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "closing must not end the run";

    OpenPicker();
    EXPECT_EQ(first, g_picker.hwnd);
    EXPECT_TRUE(IsWindowVisible(first));
    DestroyWindow(first);
    EXPECT_EQ(nullptr, g_picker.hwnd);
    EXPECT_EQ(0, g_picker.shown);
    EXPECT_EQ(nullptr, g_picker.snapshotDc) << "the snapshot goes with the window";
    OpenPicker();
    ASSERT_NE(nullptr, g_picker.hwnd);
    EXPECT_TRUE(IsWindowVisible(g_picker.hwnd));
    EXPECT_NE(nullptr, g_picker.snapshotDc);
}

COLORREF ScreenPixel(int x, int y) {
    HDC const screen = GetDC(nullptr);
    COLORREF const colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// A key copies the colour that the label shows, also when the cursor has moved on to another colour
// before the picker followed it.
TEST_F(PickerWindowTest, KeyCopiesTheColourTheLabelShows) {
    // Squares of the stock brushes, white and black to the bit.
    auto square = [](int x, int brush, const wchar_t* className) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        return CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, className, L"",
                               WS_POPUP | WS_VISIBLE, x, 380, 40, 40, nullptr, nullptr, wc.hInstance,
                               nullptr);
    };
    HWND const white = square(600, WHITE_BRUSH, L"KeyTestWhite");
    HWND const black = square(700, BLACK_BRUSH, L"KeyTestBlack");
    ASSERT_TRUE(white && black);
    ASSERT_TRUE(e2e::WaitUntil(
        [] {
            PumpMessages();  // the squares paint themselves
            return ScreenPixel(620, 400) == RGB(255, 255, 255) && ScreenPixel(720, 400) == RGB(0, 0, 0);
        },
        5000));
    SetCursorPos(620, 400);
    OpenPicker();
    ASSERT_EQ(RGB(255, 255, 255), g_picker.colour) << "the label's colour";
    SetCursorPos(720, 400);
    SendMessageW(g_picker.hwnd, WM_KEYDOWN, '1', 0);
    std::wstring copied;
    EXPECT_TRUE(e2e::ReadClipboardText(&copied));
    EXPECT_EQ(L"#FFFFFF", copied);
    EXPECT_EQ(0, g_picker.shown);
    DestroyWindow(white);
    DestroyWindow(black);
}

TEST_F(PickerWindowTest, F1HidesWithoutEndingTheRun) {
    OpenPicker();
    SendMessageW(g_picker.hwnd, WM_KEYDOWN, VK_F1, 0);
    EXPECT_FALSE(IsWindowVisible(g_picker.hwnd));
    EXPECT_EQ(0, g_picker.shown);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "F1 must not end the run";
}

}  // namespace

namespace {

// Takes the picker's timer messages of the next milliseconds out of the queue, handling the follow
// tick's; true if the Esc poll's came.
bool EscPollTicks(DWORD forMs) {
    bool ticked = false;
    DWORD const start = GetTickCount();
    while (GetTickCount() - start < forMs) {
        MSG msg;
        while (PeekMessageW(&msg, g_picker.hwnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            if (msg.wParam == kEscPollTimer) ticked = true;
            if (msg.wParam == kFollowTimer) DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    return ticked;
}

// Outside direct picker mode the program sleeps in the tray: no Esc poll while the picker is
// hidden. While it is shown, Esc reaches it as a key, or its follow tick polls the key.
TEST_F(PickerWindowTest, EscPollRunsNeitherHiddenNorBesideTheFollowTick) {
    OpenPicker();
    EXPECT_FALSE(EscPollTicks(100)) << "a poll of its own while shown";
    HidePicker();
    EXPECT_FALSE(EscPollTicks(100)) << "the Esc poll goes on while hidden";
    OpenPicker();
    SendMessageW(g_picker.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0, g_picker.shown) << "Esc did not end the picker";
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "Esc must not end the run";
}

// Crossing onto a monitor of twice the scale (which Wine cannot show: the message is sent as the
// system would): the picker doubles its size and stays centred on the cursor, showing the same
// screen pixels; back at 96 DPI it is as it was.
TEST_F(PickerWindowTest, DpiChangeResizesThePickerAroundTheCursor) {
    OpenPicker();
    UINT const dpi = g_picker.dpi;
    ASSERT_EQ(96u, dpi) << "the test runs at 100 %";
    RECT const suggested = {0, 0, 10, 10};  // not taken: the picker stays on the cursor
    struct {
        UINT dpi;
        RECT window;
    } const cases[] = {{192, {256, 144, 1024, 656}}, {96, {448, 272, 832, 528}}};
    for (const auto& c : cases) {
        SendMessageW(g_picker.hwnd, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT rect;
        GetWindowRect(g_picker.hwnd, &rect);
        EXPECT_TRUE(EqualRect(&rect, &c.window))
            << c.dpi << " dpi: " << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
        EXPECT_EQ(38, g_picker.source.right - g_picker.source.left) << c.dpi;
        EXPECT_EQ(24, g_picker.source.bottom - g_picker.source.top) << c.dpi;
        EXPECT_EQ(640, g_picker.source.left + 19) << c.dpi;
    }
}

// Counts the messages that moving, raising or painting the picker sends it.
WNDPROC g_pickerProcedure;
int g_placements;

LRESULT CALLBACK CountingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING || message == WM_PAINT) ++g_placements;
    return CallWindowProcW(g_pickerProcedure, hwnd, message, wParam, lParam);
}

// A tick that finds nothing changed neither moves, raises nor paints the picker; a topmost window
// that comes above it is put below again at the next tick.
TEST_F(PickerWindowTest, RestingTickDoesNothingButKeepsThePickerOnTop) {
    OpenPicker();
    PumpMessages();
    g_pickerProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_picker.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
    g_placements = 0;
    for (int i = 0; i < 5; ++i) SendMessageW(g_picker.hwnd, WM_TIMER, kFollowTimer, 0);
    EXPECT_EQ(0, g_placements) << "the picker was moved, raised or painted at rest";

    HWND const other =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 380, 80,
                        40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    ASSERT_NE(nullptr, GetWindow(g_picker.hwnd, GW_HWNDPREV)) << "the other window is not above";
    SendMessageW(g_picker.hwnd, WM_TIMER, kFollowTimer, 0);
    EXPECT_EQ(nullptr, GetWindow(g_picker.hwnd, GW_HWNDPREV)) << "the picker stays below";
    DestroyWindow(other);
    SetWindowLongPtrW(g_picker.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pickerProcedure));
}

}  // namespace
