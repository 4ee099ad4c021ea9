// The picker in direct picker mode ("huepeek" on the command line), driven as a user would.
#include "harness.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";

RECT WindowRect(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool RectIs(HWND hwnd, int left, int top, int right, int bottom) {
    RECT const r = WindowRect(hwnd);
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

class PickerTest : public E2eTest {
  protected:
    // Starts direct picker mode with the cursor at (x, y) and waits for the picker.
    HWND StartPicker(int x, int y) {
        MoveCursor(x, y);
        EXPECT_TRUE(StartHuepeek(huepeek_, L"huepeek"));
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
        EXPECT_NE(nullptr, picker) << "no picker window";
        // Without a window manager X focus follows the pointer, and a window that appears under a
        // resting pointer does not get it: nudge the pointer so keys reach the picker.
        MoveCursor(x + 1, y);
        MoveCursor(x, y);
        return picker;
    }

    DWORD EscAndWaitExit() {
        PressKey(VK_ESCAPE);
        DWORD code = 0;
        EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "still running after Esc";
        return code;
    }

    Process huepeek_;
};

TEST_F(PickerTest, FollowsTheCursorCentredOnIt) {
    HWND const picker = StartPicker(500, 400);
    ASSERT_NE(nullptr, picker);
    // 384 x 256 centred on (500, 400).
    EXPECT_TRUE(WaitUntil([&] { return RectIs(picker, 308, 272, 692, 528); }, 2000));
    EXPECT_TRUE(GetWindowLongW(picker, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(DWORD(WS_POPUP), GetWindowLongW(picker, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_BORDER));

    MoveCursor(900, 600);
    EXPECT_TRUE(WaitUntil([&] { return RectIs(picker, 708, 472, 1092, 728); }, 2000))
        << "the picker did not follow the cursor";
    // Near the corner the window is not pushed back inside the screen.
    MoveCursor(0, 0);
    EXPECT_TRUE(WaitUntil([&] { return RectIs(picker, -192, -128, 192, 128); }, 2000));
    EXPECT_EQ(DWORD(45054), EscAndWaitExit());
}

TEST_F(PickerTest, EscEndsDirectPickerModeWith45054) {
    ASSERT_NE(nullptr, StartPicker(640, 400));
    EXPECT_EQ(DWORD(45054), EscAndWaitExit());
}

// A click over a known colour stores it and starts a second process with exactly the palette
// argument: only that whole command line opens the colour dialog (with anything else the new
// process would be a second instance or a picker).
TEST_F(PickerTest, ClickStoresTheColourAndOpensTheColourDialogOnIt) {
    Process pattern;
    ASSERT_TRUE(pattern.Start(TestProgramDir() + L"\\pattern_window.exe", L"solid 540 300 200 200 0AC81E"));
    ASSERT_TRUE(WaitUntil(
        [] {
            HDC const screen = GetDC(nullptr);
            COLORREF const shown = GetPixel(screen, 640, 400);
            ReleaseDC(nullptr, screen);
            return shown == RGB(10, 200, 30);
        },
        kStartTimeoutMs))
        << "the pattern did not appear";
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right button" : "left button");
        ASSERT_NE(nullptr, StartPicker(640, 400));
        Click(right);
        DWORD code = 0;
        ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
        EXPECT_EQ(DWORD(45054), code);
        std::wstring stored;
        EXPECT_TRUE(ReadSetting(L"last_rgb_color", &stored));
        EXPECT_EQ(std::to_wstring(10 | 200 << 8 | 30 << 16), stored);

        HWND const dialog = WaitForWindow(L"#32770", nullptr, 0, kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog) << "no colour dialog";
        DWORD paletteProcess = 0;
        GetWindowThreadProcessId(dialog, &paletteProcess);
        EXPECT_NE(huepeek_.Id(), paletteProcess);
        EXPECT_EQ(L"10", WindowText(GetDlgItem(dialog, 706)));
        EXPECT_EQ(L"200", WindowText(GetDlgItem(dialog, 707)));
        EXPECT_EQ(L"30", WindowText(GetDlgItem(dialog, 708)));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitForNoWindow(L"#32770", paletteProcess, kExitTimeoutMs));
        huepeek_.Kill();
    }
}

}  // namespace
}  // namespace e2e
