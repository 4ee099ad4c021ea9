// The picker window of this test process: a real window, real timers and messages.
#include "picker/picker_window.h"

#include <gtest/gtest.h>

#include <string>

#include "base/process_state.h"
#include "harness.h"

namespace {

void Wheel(const Picker& picker, int notches) {
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
        SendMessageW(picker.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA), 0);
}

class PickerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_instance = GetModuleHandleW(nullptr);
        SetCursorPos(640, 400);
    }
    // Each test has a picker of its own, whose window goes with it.
    Picker picker_;
};

TEST_F(PickerWindowTest, WheelZoomsInWholeStepsWithinBoundsAndSurvivesReopening) {
    picker_.Open();
    ASSERT_NE(nullptr, picker_.hwnd);
    EXPECT_TRUE(IsWindowVisible(picker_.hwnd));
    float const start = picker_.zoom;
    Wheel(picker_, -20);
    EXPECT_EQ(1.0f, picker_.zoom);
    Wheel(picker_, 9);
    EXPECT_EQ(10.0f, picker_.zoom);
    Wheel(picker_, 6);
    EXPECT_EQ(16.0f, picker_.zoom);
    Wheel(picker_, 1);
    EXPECT_EQ(16.0f, picker_.zoom);
    // A zero delta changes nothing; scroll-bar requests zoom too.
    SendMessageW(picker_.hwnd, WM_MOUSEWHEEL, 0, 0);
    EXPECT_EQ(16.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(15.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(16.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_VSCROLL, SB_THUMBPOSITION, 0);
    EXPECT_EQ(16.0f, picker_.zoom);

    Wheel(picker_, -3);
    picker_.Hide();
    EXPECT_FALSE(IsWindowVisible(picker_.hwnd));
    EXPECT_EQ(nullptr, picker_.snapshotDc) << "the snapshot is released on hide";
    picker_.Open();
    EXPECT_EQ(13.0f, picker_.zoom) << "opening again keeps the zoom chosen with the wheel (started at "
                                   << start << ")";
}

TEST_F(PickerWindowTest, ShowFixesTheSizeAndCentresOnTheCursor) {
    picker_.Open();
    EXPECT_EQ(384, picker_.currentWidth);
    EXPECT_EQ(256, picker_.currentHeight);
    RECT rect;
    GetWindowRect(picker_.hwnd, &rect);
    EXPECT_EQ(448, rect.left);
    EXPECT_EQ(272, rect.top);
    EXPECT_EQ(384, rect.right - rect.left);
    EXPECT_EQ(256, rect.bottom - rect.top);
    EXPECT_TRUE(picker_.shown);
    EXPECT_NE(nullptr, picker_.snapshotDc);
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
    picker_.Open();
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
        picker_.Update(false);
        SetShift(c.shift);
        SendMessageW(picker_.hwnd, WM_KEYDOWN, c.key, 0);
        SetShift(false);
        POINT const now = Cursor();
        EXPECT_EQ(c.to.x, now.x) << "key " << c.key << (c.shift ? " with Shift" : "") << " from " << c.from.x;
        EXPECT_EQ(c.to.y, now.y) << "key " << c.key << (c.shift ? " with Shift" : "") << " from " << c.from.y;
        // At once, not at the next tick: the window is centred on the new position, or as near
        // as the screen's edge lets it be.
        RECT rect;
        GetWindowRect(picker_.hwnd, &rect);
        EXPECT_EQ(c.to.x - 192 < right - 384 ? c.to.x - 192 : right - 384, rect.left)
            << "the picker did not follow";
    }
}

// "+" and "-" by character, from the main keyboard or (through the message loop's translation) the
// numeric keypad, in the wheel's steps and within its limits.
TEST_F(PickerWindowTest, PlusAndMinusZoomAsTheWheelDoes) {
    picker_.Open();
    Wheel(picker_, -20);
    ASSERT_EQ(1.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_CHAR, '-', 0);
    EXPECT_EQ(1.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_CHAR, '+', 0);
    EXPECT_EQ(2.0f, picker_.zoom);
    PostMessageW(picker_.hwnd, WM_KEYDOWN, VK_ADD, 0);
    PumpMessages();
    EXPECT_EQ(3.0f, picker_.zoom) << "keypad +";
    PostMessageW(picker_.hwnd, WM_KEYDOWN, VK_SUBTRACT, 0);
    PumpMessages();
    EXPECT_EQ(2.0f, picker_.zoom) << "keypad -";
    Wheel(picker_, 20);
    SendMessageW(picker_.hwnd, WM_CHAR, '+', 0);
    EXPECT_EQ(16.0f, picker_.zoom);
    SendMessageW(picker_.hwnd, WM_CHAR, '=', 0);
    SendMessageW(picker_.hwnd, WM_CHAR, '1', 0);
    EXPECT_EQ(16.0f, picker_.zoom) << "other characters do not zoom";
}

// Closing hides the picker as Esc does and keeps the window; a window destroyed all the same is
// made again by the next opening.
TEST_F(PickerWindowTest, ClosedOrDestroyedPickerOpensAgain) {
    picker_.Open();
    HWND const first = picker_.hwnd;
    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_FALSE(picker_.shown);
    EXPECT_EQ(nullptr, picker_.snapshotDc);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "closing must not end the run";

    picker_.Open();
    EXPECT_EQ(first, picker_.hwnd);
    EXPECT_TRUE(IsWindowVisible(first));
    DestroyWindow(first);
    EXPECT_EQ(nullptr, picker_.hwnd);
    EXPECT_FALSE(picker_.shown);
    EXPECT_EQ(nullptr, picker_.snapshotDc) << "the snapshot goes with the window";
    picker_.Open();
    ASSERT_NE(nullptr, picker_.hwnd);
    EXPECT_TRUE(IsWindowVisible(picker_.hwnd));
    EXPECT_NE(nullptr, picker_.snapshotDc);
}

// The window, its timers and its snapshot go with the object: none is left to reach an object that
// is gone through the window's user data.
TEST_F(PickerWindowTest, TheWindowGoesWithThePicker) {
    HWND window = nullptr;
    {
        Picker picker;
        picker.Open();
        window = picker.hwnd;
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
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
    picker_.Open();
    ASSERT_EQ(RGB(255, 255, 255), picker_.colour) << "the label's colour";
    SetCursorPos(720, 400);
    SendMessageW(picker_.hwnd, WM_KEYDOWN, '1', 0);
    std::wstring copied;
    EXPECT_TRUE(e2e::ReadClipboardText(&copied));
    EXPECT_EQ(L"#FFFFFF", copied);
    EXPECT_FALSE(picker_.shown);
    DestroyWindow(white);
    DestroyWindow(black);
}

TEST_F(PickerWindowTest, F1HidesWithoutEndingTheRun) {
    picker_.Open();
    SendMessageW(picker_.hwnd, WM_KEYDOWN, VK_F1, 0);
    EXPECT_FALSE(IsWindowVisible(picker_.hwnd));
    EXPECT_FALSE(picker_.shown);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "F1 must not end the run";
}

}  // namespace

namespace {

// Takes the picker's timer messages of the next milliseconds out of the queue, handling the follow
// tick's; true if the Esc poll's came.
bool EscPollTicks(const Picker& picker, DWORD forMs) {
    bool ticked = false;
    DWORD const start = GetTickCount();
    while (GetTickCount() - start < forMs) {
        MSG msg;
        while (PeekMessageW(&msg, picker.hwnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
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
    picker_.Open();
    EXPECT_FALSE(EscPollTicks(picker_, 100)) << "a poll of its own while shown";
    picker_.Hide();
    EXPECT_FALSE(EscPollTicks(picker_, 100)) << "the Esc poll goes on while hidden";
    picker_.Open();
    SendMessageW(picker_.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(picker_.shown) << "Esc did not end the picker";
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "Esc must not end the run";
}

// The run's end as the message loop would see it: the exit code of a quit message in the queue.
bool TakeQuit(WPARAM* exitCode) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    *exitCode = msg.wParam;
    return true;
}

// A direct picker is the whole run: hidden, it polls Esc itself; Esc or the loss of its window ends
// the run with the direct picker's exit code.
TEST_F(PickerWindowTest, DirectPickerPollsEscWhileHiddenAndEndsTheRun) {
    picker_.endsRun = true;
    picker_.Open();
    EXPECT_FALSE(EscPollTicks(picker_, 100)) << "a poll of its own while shown";
    picker_.Hide();
    EXPECT_TRUE(EscPollTicks(picker_, 100)) << "no Esc poll while hidden";
    picker_.Open();
    SendMessageW(picker_.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(picker_.shown);
    WPARAM exitCode = 0;
    ASSERT_TRUE(TakeQuit(&exitCode)) << "Esc did not end the run";
    EXPECT_EQ(WPARAM(kExitDirectPicker), exitCode);

    picker_.Open();
    DestroyWindow(picker_.hwnd);
    EXPECT_EQ(nullptr, picker_.hwnd);
    ASSERT_TRUE(TakeQuit(&exitCode)) << "the window's loss did not end the run";
    EXPECT_EQ(WPARAM(kExitDirectPicker), exitCode);
}

// Crossing onto a monitor of twice the scale (which Wine cannot show: the message is sent as the
// system would): the picker doubles its size and stays centred on the cursor, showing the same
// screen pixels; back at 96 DPI it is as it was.
TEST_F(PickerWindowTest, DpiChangeResizesThePickerAroundTheCursor) {
    picker_.Open();
    UINT const dpi = picker_.dpi;
    ASSERT_EQ(96u, dpi) << "the test runs at 100 %";
    RECT const suggested = {0, 0, 10, 10};  // not taken: the picker stays on the cursor
    struct {
        UINT dpi;
        RECT window;
    } const cases[] = {{192, {256, 144, 1024, 656}}, {96, {448, 272, 832, 528}}};
    for (const auto& c : cases) {
        SendMessageW(picker_.hwnd, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT rect;
        GetWindowRect(picker_.hwnd, &rect);
        EXPECT_TRUE(EqualRect(&rect, &c.window))
            << c.dpi << " dpi: " << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
        EXPECT_EQ(38, picker_.source.right - picker_.source.left) << c.dpi;
        EXPECT_EQ(24, picker_.source.bottom - picker_.source.top) << c.dpi;
        EXPECT_EQ(640, picker_.source.left + 19) << c.dpi;
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
    picker_.Open();
    PumpMessages();
    g_pickerProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(picker_.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
    g_placements = 0;
    for (int i = 0; i < 5; ++i) SendMessageW(picker_.hwnd, WM_TIMER, kFollowTimer, 0);
    EXPECT_EQ(0, g_placements) << "the picker was moved, raised or painted at rest";

    HWND const other =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 380, 80,
                        40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    ASSERT_NE(nullptr, GetWindow(picker_.hwnd, GW_HWNDPREV)) << "the other window is not above";
    SendMessageW(picker_.hwnd, WM_TIMER, kFollowTimer, 0);
    EXPECT_EQ(nullptr, GetWindow(picker_.hwnd, GW_HWNDPREV)) << "the picker stays below";
    DestroyWindow(other);
    SetWindowLongPtrW(picker_.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pickerProcedure));
}

}  // namespace
