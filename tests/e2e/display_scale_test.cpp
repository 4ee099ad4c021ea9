// The main dialog at another display scale than 100 %, as at_dpi.exe sets it for the whole test
// process (ctest runs this test at 144 and 192 dpi): laid out at that scale, whole on the screen,
// with every control inside it, and kept as a screenshot named with the scale. (The picker at these
// scales is the magnifier test's.)
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog_driver.h"
#include "harness.h"

namespace e2e {
namespace {

int const kBanner = 1040;
int const kLineTop = 4030;
int const kLineBottom = 4031;
// The dialog's client area is 201 dialog units high, 8 of them a line of the 8-point dialog font,
// which is 13 pixels high at 100 %.
int const kClientUnitsDown = 201;
int const kFontPixelsAt96 = 13;

UINT TestDpi() {
    HDC const screen = GetDC(nullptr);
    UINT const dpi = UINT(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Every visible control of the parent lies inside the rectangle (screen coordinates), but those
// that are meant to run under the dialog's edges: the banner, the lines and the toolbar, whose
// buttons end inside the frame (the text-fit test measures them).
void ExpectChildrenInside(HWND parent, const RECT& inside) {
    for (HWND child : ChildWindows(parent, nullptr)) {
        int const id = GetDlgCtrlID(child);
        wchar_t className[32] = {};
        GetClassNameW(child, className, ARRAYSIZE(className));
        if (!IsWindowVisible(child) || GetParent(child) != parent || id == kBanner || id == kLineTop ||
            id == kLineBottom || lstrcmpW(className, TOOLBARCLASSNAMEW) == 0)
            continue;
        RECT rect = {}, both = {};
        GetWindowRect(child, &rect);
        IntersectRect(&both, &rect, &inside);
        EXPECT_TRUE(EqualRect(&both, &rect))
            << "control " << id << " at " << Describe(rect) << " outside " << Describe(inside);
    }
}

class DisplayScaleTest : public E2eTest {
  protected:
    Process huepeek_;
};

// Run by at_dpi.exe at other scales only.
TEST_F(DisplayScaleTest, DISABLED_MainDialogAtTheScaleOfTheRun) {
    UINT const dpi = TestDpi();
    ASSERT_NE(96u, dpi) << "run by at_dpi.exe at another scale";
    std::wstring const scale = std::to_wstring(dpi) + L"dpi";
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    ASSERT_TRUE(StartHuepeek(huepeek_, L""));
    HWND const dialog = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, kStartTimeoutMs));

    // Laid out at the run's scale, whole on the screen, every control inside.
    RECT const client = ClientRectOnScreen(dialog);
    int const expectedHeight = kClientUnitsDown * kFontPixelsAt96 * int(dpi) / 96 / 8;
    EXPECT_NEAR(expectedHeight, client.bottom - client.top, expectedHeight / 10) << "not laid out at " << dpi;
    RECT const screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT window = {}, both = {};
    GetWindowRect(dialog, &window);
    IntersectRect(&both, &window, &screen);
    EXPECT_TRUE(EqualRect(&both, &window)) << "the dialog leaves the screen: " << Describe(window);
    ExpectChildrenInside(dialog, client);
    ASSERT_TRUE(WaitUntil([&] { return Pages(dialog).size() == 4; }, 2000)) << "pages missing";
    for (HWND page : Pages(dialog)) ExpectChildrenInside(page, client);
    ASSERT_TRUE(DrainMessages(dialog));
    EXPECT_TRUE(SaveScreenshot(window, ScreenshotDir() + L"\\main_dialog_" + scale + L".png"));
}

}  // namespace
}  // namespace e2e
