// The main dialog by keyboard, with real keys from the X server (xdotool) to the window under the
// pointer: Enter and Space press the focused button wherever it lies, Escape sends the dialog to
// the tray from any control, and Tab and Shift+Tab visit the controls in reading order, each
// showing its focus.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "files.h"
#include "harness.h"
#include "mail_recorder.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";

// Control IDs of the dialog templates; the toolbar has none.
int const kToolbar = 0;
int const kTabPicker = 1083;
int const kTabInfo = 1088;
int const kTabMore = 1089;
int const kToTray = 1046;
int const kExit = 1045;
int const kAutostart = 1014;
int const kStartTray = 1010;
int const kPick = 1105;
int const kUsage = 1000;
int const kHotKey = 1111;
int const kHotKeyWin = 1112;
int const kRecommend = 2031;
int const kSend = 1017;
int const kMoreFreeware = 1013;
int const kUninstall = 1014;

// The control that has the keyboard focus in the thread of window, or null.
HWND FocusIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// One key (or chord) as the X server sends it to the window under the pointer.
bool XKey(const char* key) {
    DWORD code = 0xFFFF;
    return RunLinuxCommand(std::string("xdotool key ") + key, &code) && code == 0;
}

std::vector<COLORREF> PixelsOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return ScreenPixels(rect).Colours();
}

class MainDialogKeysTest : public E2eTest {
  protected:
    // Starts the program (a copy: uninstall is among the buttons pressed) and waits until its
    // dialog is shown with the focus inside.
    HWND Start(const wchar_t* language) {
        if (!copy_.Copied() || !WriteSetting(L"lng", language) || !huepeek_.Start(copy_.Exe(), L""))
            return nullptr;
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        if (!dialog_ || !WaitUntil([&] { return IsWindowVisible(dialog_) && FocusIn(dialog_); }, 2000))
            return nullptr;
        PointAtDialog();
        return dialog_;
    }
    // X gives the keys to the window under the pointer: the banner, where a click would do nothing.
    void PointAtDialog() {
        RECT const r = ClientRectOnScreen(dialog_);
        MoveCursor((r.left + r.right) / 2, r.top + 10);
    }

    // The ID of the focused control (kToolbar for the toolbar), or -1 outside the dialog.
    int FocusedId() {
        HWND const focus = FocusIn(dialog_);
        if (!focus || (focus != dialog_ && !IsChild(dialog_, focus))) return -1;
        return focus == Toolbar(dialog_) ? kToolbar : GetDlgCtrlID(focus);
    }
    // Presses the key and waits until the focus has moved on.
    int Step(const char* key) {
        HWND const before = FocusIn(dialog_);
        EXPECT_TRUE(XKey(key)) << key;
        WaitUntil([&] { return FocusIn(dialog_) != before; }, 1000);
        return FocusedId();
    }
    // Tabs to the control as a user would.
    bool TabTo(HWND control) {
        for (int step = 0; step < 16 && FocusIn(dialog_) != control; ++step) Step("Tab");
        return FocusIn(dialog_) == control;
    }
    // Without a window manager nobody gives the dialog back the focus when another window (the
    // shell's console, a message box) goes; a click on the banner does it as a user would.
    bool ReturnToDialog() {
        WaitForNoWindow(L"WineConsoleClass", 0, 5000);
        RECT const r = ClientRectOnScreen(dialog_);
        ClickAt((r.left + r.right) / 2, r.top + 10);
        return WaitUntil([&] { return FocusedId() >= 0; }, 2000);
    }
    HWND PageControl(int id) { return GetDlgItem(VisiblePage(dialog_), id); }
    void ShowMorePage() {
        ASSERT_TRUE(TabTo(GetDlgItem(dialog_, kTabMore)));
        ASSERT_TRUE(XKey("space"));
        ASSERT_TRUE(WaitUntil([&] { return PageControl(kUninstall) != nullptr; }, 2000)) << "no More page";
    }
    // A second start shows the dialog of this one again.
    void ShowAgain() {
        Process second;
        ASSERT_TRUE(StartHuepeek(second, L""));
        DWORD code = 0;
        ASSERT_TRUE(second.WaitExit(kExitTimeoutMs, &code));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog_) != FALSE; }, 2000));
        PointAtDialog();
    }
    // Lets the program's window thread handle what is queued, before checking what it did not do.
    void Drain() { EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer"; }

    ProgramCopy const copy_{L"Huepeek by keyboard", L"huepeek.exe"};
    Process huepeek_;
    HWND dialog_ = nullptr;
};

// The focus starts on "? Pixel ?": Enter opens the picker, and the program goes on running.
TEST_F(MainDialogKeysTest, EnterRightAfterStartOpensThePicker) {
    ASSERT_NE(nullptr, Start(L"1"));
    EXPECT_EQ(kPick, FocusedId());
    ASSERT_TRUE(XKey("Return"));
    HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, picker) << "no picker; running: " << huepeek_.Running();
    Drain();
    EXPECT_FALSE(IsWindowVisible(dialog_));
    EXPECT_TRUE(HoldKeyUntil(
        VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, 2000));
    Drain();
    EXPECT_TRUE(huepeek_.Running());
}

// Enter and Space on each button of the pages do that button's own action (the pages' control IDs
// repeat the main dialog's, whose commands must not run instead). Uninstall is answered No.
TEST_F(MainDialogKeysTest, EnterAndSpacePressTheFocusedButtonOfAPage) {
    for (const char* key : {"Return", "space"}) {
        SCOPED_TRACE(key);
        MailRecorder mail;
        UrlRecorder urls;
        ASSERT_NE(nullptr, Start(L"1"));
        ShowMorePage();

        ASSERT_TRUE(TabTo(PageControl(kRecommend)));
        ASSERT_TRUE(XKey(key));
        ASSERT_TRUE(mail.WaitForMails(1, 5000)) << "Recommend composed no mail";
        EXPECT_EQ(0u, mail.Mails()[0].fileCount);

        ASSERT_TRUE(TabTo(PageControl(kSend)));
        ASSERT_TRUE(XKey(key));
        ASSERT_TRUE(mail.WaitForMails(2, 5000)) << "Send composed no mail";
        EXPECT_EQ(1u, mail.Mails()[1].fileCount) << "not the program attached";

        ASSERT_TRUE(TabTo(PageControl(kMoreFreeware)));
        ASSERT_TRUE(XKey(key));
        ASSERT_TRUE(urls.WaitForUrls(1, 5000)) << "More freeware opened nothing";
        EXPECT_EQ(L"https://www.vantorel.com", urls.Urls()[0]) << "not the freeware page";

        // The recorder's console came to the front; a click on the banner brings the dialog back.
        ASSERT_TRUE(ReturnToDialog());
        ASSERT_TRUE(TabTo(PageControl(kUninstall)));
        ASSERT_TRUE(XKey(key));
        HWND const question = WaitForWindow(L"#32770", L"Info", huepeek_.Id(), 5000);
        ASSERT_NE(nullptr, question) << "Uninstall asked nothing";
        ClickButton(GetDlgItem(question, IDNO));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 2000));
        Drain();
        EXPECT_EQ(1u, urls.Urls().size()) << "a page opened beside the freeware page";
        EXPECT_EQ(2u, mail.Mails().size());
        EXPECT_TRUE(FileExists(copy_.Exe()));
        EXPECT_EQ(L"", StoredSetting(L"start_tray")) << "a main dialog command ran";

        ASSERT_TRUE(ReturnToDialog());
        ASSERT_TRUE(TabTo(GetDlgItem(dialog_, kTabPicker)));
        ASSERT_TRUE(XKey("space"));
        ASSERT_TRUE(WaitUntil([&] { return PageControl(kPick) != nullptr; }, 2000));
        ASSERT_TRUE(TabTo(PageControl(kPick)));
        ASSERT_TRUE(XKey(key));
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, picker) << "no picker";
        EXPECT_TRUE(HoldKeyUntil(
            VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, 2000));
        Drain();
        EXPECT_TRUE(huepeek_.Running());
        huepeek_.Kill();
    }
}

// The toolbar takes the focus as one control: the arrow keys go from button to button, Enter and
// Space press the one marked.
TEST_F(MainDialogKeysTest, TheToolbarsButtonsAreReachedWithArrowsAndPressedWithEnterOrSpace) {
    UrlRecorder urls;
    ASSERT_NE(nullptr, Start(L"1"));
    ASSERT_TRUE(TabTo(Toolbar(dialog_)));
    ASSERT_TRUE(XKey("Right"));
    ASSERT_TRUE(XKey("Right"));
    ASSERT_TRUE(XKey("space"));
    ASSERT_NE(nullptr, WaitForWindow(L"#32768", nullptr, huepeek_.Id(), 5000)) << "no language menu";
    ASSERT_TRUE(XKey("Escape"));
    ASSERT_TRUE(WaitForNoWindow(L"#32768", huepeek_.Id(), 2000));
    Drain();
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "Escape reached the dialog too";
    ASSERT_TRUE(XKey("Right"));
    ASSERT_TRUE(XKey("Right"));  // past the end: stays on "# FAQ"
    ASSERT_TRUE(XKey("Return"));
    ASSERT_TRUE(urls.WaitForUrls(1, 5000)) << "the FAQ did not open; running: " << huepeek_.Running();
    EXPECT_EQ(L"https://www.vantorel.com?seite=faq-Huepeek&faq=0", urls.Urls()[0]);
    Drain();
    EXPECT_EQ(1u, urls.Urls().size());
    EXPECT_TRUE(huepeek_.Running());
}

// Alt and the marked letter press a button from anywhere in the dialog, in a language that marks a
// letter of its words and in one that puts it after them ("(&M)"); the page title above the page
// carries no key of its own.
TEST_F(MainDialogKeysTest, AccessKeysPressTheirButtons) {
    struct {
        const wchar_t* language;
        const char* name;
        const wchar_t* moreTitle;
    } const cases[] = {{L"1", "en", L"More"}, {L"4", "ja", L"\u305D\u306E\u4ED6"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UrlRecorder urls;
        ASSERT_NE(nullptr, Start(c.language));
        ASSERT_TRUE(XKey("alt+m"));
        ASSERT_TRUE(WaitUntil([&] { return PageControl(kUninstall) != nullptr; }, 2000)) << "no More page";
        EXPECT_EQ(c.moreTitle, WindowText(GetDlgItem(dialog_, 32787)));
        ASSERT_TRUE(XKey("alt+f"));
        ASSERT_TRUE(urls.WaitForUrls(1, 5000)) << "More freeware opened nothing";
        ASSERT_TRUE(ReturnToDialog());
        HWND const autostart = GetDlgItem(dialog_, kAutostart);
        ASSERT_TRUE(XKey("alt+w"));
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(autostart); }, 2000)) << "Start with Windows not ticked";
        ASSERT_TRUE(XKey("alt+w"));
        EXPECT_TRUE(WaitUntil([&] { return !IsChecked(autostart); }, 2000));
        ASSERT_TRUE(XKey("alt+h"));
        ASSERT_TRUE(WaitUntil([&] { return PageControl(kPick) != nullptr; }, 2000)) << "no picker page";
        ASSERT_TRUE(XKey("alt+k"));
        EXPECT_TRUE(WaitUntil([&] { return FocusedId() == kHotKey; }, 2000))
            << "the hot key's label leads nowhere";
        ASSERT_TRUE(XKey("alt+p"));
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, picker) << "no picker";
        EXPECT_TRUE(HoldKeyUntil(
            VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, 2000));
        huepeek_.Kill();
    }
}

// Escape sends the dialog to the tray from any control: the usage text (a multi-line edit that
// takes every key), a check box and a page's button.
TEST_F(MainDialogKeysTest, EscapeSendsTheDialogToTheTrayFromAnyControl) {
    ASSERT_NE(nullptr, Start(L"1"));
    struct {
        const char* what;
        int id;
        bool onPage;
    } const controls[] = {
        {"usage text", kUsage, true}, {"check box", kStartTray, false}, {"page button", kPick, true}};
    for (const auto& c : controls) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(TabTo(c.onPage ? PageControl(c.id) : GetDlgItem(dialog_, c.id)));
        ASSERT_TRUE(XKey("Escape"));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog_); }, 2000)) << "still shown";
        Drain();
        EXPECT_TRUE(huepeek_.Running());
        ShowAgain();
    }
}

// Tab and Shift+Tab visit every control of the dialog and of the page shown, in reading order (a
// right-to-left language reads each row from its right end), and nothing hidden or out of sight;
// each control looks different once it has the focus.
TEST_F(MainDialogKeysTest, TabVisitsTheControlsInReadingOrderShowingTheFocus) {
    struct {
        const wchar_t* language;
        const char* name;
        std::vector<int> cycle;  // from "? Pixel ?", where the focus starts
    } const cases[] = {
        {L"1",
         "en",
         {kUsage, kHotKey, kHotKeyWin, kAutostart, kStartTray, kToolbar, kTabPicker, kTabInfo, kTabMore,
          kToTray, kExit, kPick}},
        {L"11",
         "ar",
         {kHotKeyWin, kHotKey, kStartTray, kAutostart, kToolbar, kExit, kToTray, kTabMore, kTabInfo,
          kTabPicker, kUsage, kPick}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, Start(c.language));
        ASSERT_EQ(kPick, FocusedId());
        LRESULT const hotKey = SendMessageW(PageControl(kHotKey), HKM_GETHOTKEY, 0, 0);
        ASSERT_NE(0, hotKey) << "the hot key is off at start";
        std::vector<int> forward;
        for (size_t step = 0; step < c.cycle.size(); ++step) {
            int const id = c.cycle[step];
            bool const onPage = id == kPick || id == kUsage || id == kHotKey || id == kHotKeyWin;
            HWND const next = id == kToolbar ? Toolbar(dialog_)
                              : onPage       ? PageControl(id)
                                             : GetDlgItem(dialog_, id);
            std::vector<COLORREF> const unfocused = PixelsOf(next);
            forward.push_back(Step("Tab"));
            if (forward.back() != c.cycle[step]) continue;
            EXPECT_TRUE(WaitUntil([&] { return PixelsOf(next) != unfocused; }, 1000))
                << "no focus shown on " << c.cycle[step];
            if (c.cycle[step] == kUsage || c.cycle[step] == kStartTray || c.cycle[step] == kToolbar) {
                RECT window;
                GetWindowRect(dialog_, &window);
                SaveScreenshot(window, ScreenshotDir() + L"\\main_dialog_focus_" +
                                           std::wstring(c.name, c.name + 2) + L"_" +
                                           std::to_wstring(c.cycle[step]) + L".png");
            }
        }
        EXPECT_EQ(c.cycle, forward);
        std::vector<int> backward;
        for (size_t step = 0; step < c.cycle.size(); ++step) backward.push_back(Step("shift+Tab"));
        std::vector<int> expected(c.cycle.rbegin() + 1, c.cycle.rend());
        expected.push_back(c.cycle.back());
        EXPECT_EQ(expected, backward);
        // Shift on its way to Shift+Tab went through the hot-key field without choosing anything.
        Drain();
        EXPECT_EQ(hotKey, SendMessageW(PageControl(kHotKey), HKM_GETHOTKEY, 0, 0)) << "the field changed";
        EXPECT_EQ(L"", StoredSetting(L"hotkey")) << "a hot key was chosen";
        huepeek_.Kill();
    }
}

}  // namespace
}  // namespace e2e
