// Two monitors: a 1024 x 768 one left of the 1280 x 800 primary, so that the left one has negative
// coordinates (the environment of scripts/two_monitors.sh; the build runs these tests there only,
// with the magnifier's test at every monitor's edges). The arrow keys carry the picker over the
// boundary, where it changes monitors, and the key copies the pixel on the other side; the main
// dialog, its language menu and a message box open on the primary monitor even when the pointer
// rests on the other one, and the icon shows in the notification area there.
#include <windows.h>

#include <algorithm>
#include <string>

#include "dialog_driver.h"
#include "harness.h"
#include "pattern_grid.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
int const kLanguageButton = 2022;
int const kTabMore = 1089;
int const kUninstall = 1014;
RECT const kPrimary = {0, 0, 1280, 800};
RECT const kLeftMonitor = {-1024, 0, 0, 768};
// The picker at 100 %, centred on the cursor and moved back onto the cursor's monitor.
int const kPickerWidth = 384;
int const kPickerHeight = 256;

RECT PlacedFor(POINT cursor, const RECT& monitor) {
    int const left = std::max(std::min(int(cursor.x) - kPickerWidth / 2, int(monitor.right) - kPickerWidth),
                              int(monitor.left));
    int const top = std::max(std::min(int(cursor.y) - kPickerHeight / 2, int(monitor.bottom) - kPickerHeight),
                             int(monitor.top));
    return {left, top, left + kPickerWidth, top + kPickerHeight};
}

RECT WindowRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    RECT both = {};
    return IntersectRect(&both, &inner, &outer) && EqualRect(&both, &inner);
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class TwoMonitorsTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        RECT const virtualScreen = {
            GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        RECT const expected = {kLeftMonitor.left, 0, kPrimary.right, kPrimary.bottom};
        ASSERT_TRUE(EqualRect(&expected, &virtualScreen))
            << "not the two monitors of scripts/two_monitors.sh: " << Describe(virtualScreen);
        ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    }
    void TearDown() override {
        patterns_.Kill();
        E2eTest::TearDown();
    }

    Process huepeek_;
    Process patterns_;
};

TEST_F(TwoMonitorsTest, DISABLED_ArrowKeysCarryThePickerOverTheBoundary) {
    // Both sides of the boundary, each pixel its own colour.
    Grid const grid = {-40, 360, 80, 80};
    ASSERT_TRUE(patterns_.Start(TestProgramDir() + L"\\pattern_window.exe", grid.Arguments()));
    ASSERT_TRUE(WaitUntil([&] { return grid.OnScreen(); }, kStartTimeoutMs)) << "the grid did not appear";
    POINT const start = {1, 400};
    MoveCursor(start.x, start.y);
    ASSERT_TRUE(StartHuepeek(huepeek_, L"huepeek"));
    HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, picker);
    // A nudge gives the picker, which appeared under the resting pointer, the X focus.
    EXPECT_TRUE(NudgeCursor(start)) << "the pointer did not come back";

    // One pixel right of the boundary the picker stands on the primary monitor, at its left edge;
    // one pixel left of it, on the other monitor, at its right edge.
    struct Step {
        POINT cursor;
        RECT monitor;
    } const steps[] = {
        {{1, 400}, kPrimary}, {{0, 400}, kPrimary}, {{-1, 400}, kLeftMonitor}, {{-2, 400}, kLeftMonitor}};
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "cursor " << step.cursor.x << "," << step.cursor.y);
        if (step.cursor.x != start.x) PressKey(VK_LEFT);
        ASSERT_TRUE(WaitUntil(
            [&] {
                POINT const at = CursorPos();
                return at.x == step.cursor.x && at.y == step.cursor.y;
            },
            2000))
            << "the cursor is at " << CursorPos().x << "," << CursorPos().y;
        RECT const placed = PlacedFor(step.cursor, step.monitor);
        EXPECT_TRUE(WaitUntil(
            [&] {
                RECT const shown = WindowRectOf(picker);
                return EqualRect(&shown, &placed) != FALSE;
            },
            2000))
            << "the picker at " << Describe(WindowRectOf(picker)) << " instead of " << Describe(placed);
    }
    ASSERT_TRUE(DrainMessages(picker));
    EXPECT_TRUE(SaveScreenshot({-400, 200, 400, 600},
                               ScreenshotDir() + L"\\two_monitors_picker_at_the_boundary.png"));
    ASSERT_TRUE(ClearClipboard());
    PressKey('1');
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_.Id(), 2000)) << "the picker is still shown";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(HexText(grid.ColourAt(-2, 400)), text) << "not the pixel under the cursor";
}

TEST_F(TwoMonitorsTest, DISABLED_WindowsOpenOnThePrimaryMonitor) {
    // The pointer rests on the other monitor while the program starts and while it asks.
    POINT const away = {-512, 384};
    MoveCursor(away.x, away.y);
    ASSERT_TRUE(StartHuepeek(huepeek_, L""));
    HWND const dialog = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, kStartTimeoutMs));
    EXPECT_TRUE(Inside(WindowRectOf(dialog), WorkArea()))
        << "the dialog at " << Describe(WindowRectOf(dialog));
    // The icon in the notification area, which Wine keeps in a small window of its own without a
    // window manager.
    HWND const tray = WaitForWindow(L"__winex11_standalone_tray", nullptr, 0, kStartTimeoutMs);
    ASSERT_NE(nullptr, tray) << "no notification area";
    EXPECT_TRUE(Inside(WindowRectOf(tray), kPrimary))
        << "the notification area at " << Describe(WindowRectOf(tray));

    // The language menu below its button.
    RECT const button = ToolbarButtonRectOnScreen(Toolbar(dialog), kLanguageButton);
    ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    HWND const menu = WaitForWindow(L"#32768", nullptr, huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, menu) << "no language menu";
    EXPECT_TRUE(Inside(WindowRectOf(menu), kPrimary)) << "the menu at " << Describe(WindowRectOf(menu));
    PostMessageW(dialog, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(WaitForNoWindow(L"#32768", huepeek_.Id(), kStartTimeoutMs)) << "the menu stays open";

    // The uninstall question, asked with the pointer on the other monitor.
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kTabMore)));
    HWND uninstall = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (uninstall = GetDlgItem(VisiblePage(dialog), kUninstall)) != nullptr; },
                  kStartTimeoutMs))
        << "no More page";
    MoveCursor(away.x, away.y);
    ASSERT_TRUE(ClickButton(uninstall));
    HWND const question = WaitForWindow(L"#32770", L"Info", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, question) << "no question";
    EXPECT_TRUE(Inside(WindowRectOf(question), kPrimary))
        << "the question at " << Describe(WindowRectOf(question));
    ASSERT_TRUE(DrainMessages(question));
    EXPECT_TRUE(SaveScreenshot({kLeftMonitor.left, 0, kPrimary.right, kPrimary.bottom},
                               ScreenshotDir() + L"\\two_monitors_question.png"));
    ASSERT_TRUE(ClickButton(GetDlgItem(question, IDNO)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kStartTimeoutMs));
    EXPECT_TRUE(huepeek_.Running());
}

}  // namespace
}  // namespace e2e
