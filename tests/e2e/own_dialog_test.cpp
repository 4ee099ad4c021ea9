// The picker takes the screen as it is without the program's own main dialog: opened from the
// dialog's picker button or by the hot key while the dialog is shown, it magnifies and copies what
// lies beneath the dialog, not the dialog.
#include <string>

#include "dialog_driver.h"
#include "harness.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
int const kPickButton = 1105;
// Behind the dialog, which is centred on the 1280 x 800 screen: 10,200,30 wherever the dialog is.
RECT const kUnder = {200, 100, 1080, 700};
COLORREF const kUnderColour = RGB(10, 200, 30);

class OwnDialogTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        // An ordinary window, not topmost: the main dialog opens in front of it.
        ASSERT_TRUE(pattern_.Start(TestProgramDir() + L"\\pattern_window.exe",
                                   L"below solid 200 100 880 600 0AC81E"));
        ASSERT_TRUE(WaitUntil(
            [] {
                return ScreenPixels({640, 400, 641, 401}).At(640, 400) == kUnderColour;
            },
            kStartTimeoutMs))
            << "the pattern did not appear";
        WriteSetting(L"lng", L"1");
        ASSERT_TRUE(StartHuepeek(huepeek_, L""));
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog_);
        ASSERT_TRUE(WaitUntil([&] { return (host_ = FindWindowW(L"Huepeek", L"Huepeek")) != nullptr; },
                              kStartTimeoutMs));
        ExpectDialogInFront();
    }

    // The dialog shows, in front of the pattern, wholly inside it.
    void ExpectDialogInFront() {
        RECT rect = {};
        ASSERT_TRUE(WaitUntil(
            [&] {
                GetWindowRect(dialog_, &rect);
                ScreenPixels const shown(rect);
                return IsWindowVisible(dialog_) && !shown.Empty() && shown.Count(kUnderColour) == 0;
            },
            kStartTimeoutMs))
            << "the dialog is not in front";
        RECT inside = {};
        ASSERT_TRUE(IntersectRect(&inside, &rect, &kUnder) && EqualRect(&inside, &rect))
            << "the dialog is not over the pattern";
    }

    // The picker under the pointer: its view and the colour that key 1 copies.
    void ExpectPickerShowsWhatLiesBeneath(const wchar_t* screenshot) {
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, picker) << "no picker";
        POINT const at = CursorPos();
        EXPECT_TRUE(NudgeCursor(at)) << "the pointer did not come back";
        RECT view = {};
        GetWindowRect(picker, &view);
        // Inside the frame and between the strips the view is all the colour beneath.
        RECT const picture = {view.left + 8, view.top + 26, view.right - 8, view.bottom - 26};
        EXPECT_TRUE(WaitUntil(
            [&] {
                ScreenPixels const shown(picture);
                int const all = (picture.right - picture.left) * (picture.bottom - picture.top);
                // The box round the magnified pixel is drawn over it.
                return shown.Count(kUnderColour) > all * 9 / 10;
            },
            3000))
            << "the picker magnifies something else";
        EXPECT_TRUE(SaveScreenshot(view, ScreenshotDir() + L"\\" + screenshot));
        ASSERT_TRUE(ClearClipboard());
        PressKey('1');
        EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_.Id(), 2000));
        std::wstring text;
        EXPECT_TRUE(ReadClipboardText(&text));
        EXPECT_EQ(L"#0AC81E", text);
    }

    Process pattern_;
    Process huepeek_;
    HWND dialog_ = nullptr;
    HWND host_ = nullptr;
};

TEST_F(OwnDialogTest, PickerButtonOpensThePickerOnWhatLiesBeneathTheDialog) {
    RECT button = {};
    GetWindowRect(GetDlgItem(VisiblePage(dialog_), kPickButton), &button);
    POINT const centre = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    MoveCursor(centre.x, centre.y);
    ASSERT_TRUE(WaitUntil([&] { return CursorPos().x == centre.x && CursorPos().y == centre.y; }, 2000));
    Click();
    ExpectPickerShowsWhatLiesBeneath(L"picker_from_its_button.png");
    EXPECT_FALSE(IsWindowVisible(dialog_));
}

TEST_F(OwnDialogTest, HotKeyWhileTheDialogIsShownOpensThePickerOnWhatLiesBeneathIt) {
    RECT rect = {};
    GetWindowRect(dialog_, &rect);
    // Over the dialog's usage text, where a key reaches the dialog's process.
    POINT const over = {(rect.left + rect.right) / 2 + 60, (rect.top + rect.bottom) / 2};
    MoveCursor(over.x - 1, over.y);
    ASSERT_TRUE(
        Xdotool(L"key super+shift+c mousemove " + std::to_wstring(over.x) + L" " + std::to_wstring(over.y)));
    ExpectPickerShowsWhatLiesBeneath(L"picker_by_hot_key_over_its_dialog.png");
}

}  // namespace
}  // namespace e2e
