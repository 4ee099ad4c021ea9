// The main dialog as a user meets it: pages, title, toolbar, the buttons and check boxes, starting
// hidden, handing over to a running instance, and the maker's pages opened from it.
#include <set>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness.h"
#include "mail_recorder.h"

namespace e2e {
namespace {

// Control IDs of the dialog template.
int const kFrame = 32787;
int const kTabPicker = 1083;
int const kTabBlank = 1087;
int const kTabInfo = 1088;
int const kTabMore = 1089;
int const kExit = 1045;
int const kToTray = 1046;
int const kStartTray = 1010;
int const kPick = 1105;
int const kUsage = 1000;
int const kVersion = 1072;
int const kRecommend = 2031;
int const kMoreFreeware = 1013;
int const kThanks = 1013;
int const kLicence = 7778;
int const kDonate = 7779;
int const kLanguage = 2022;
int const kFaq = 32791;

wchar_t const kTitle[] = L"Huepeek 3.36 - x64";
wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";

class MainDialogTest : public E2eTest {
  protected:
    // Starts the program and waits for its main dialog, shown or hidden as the start decides.
    HWND Start(const std::wstring& arguments = L"") {
        if (!StartHuepeek(huepeek_, arguments)) return nullptr;
        HWND const dialog = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        // The dialog is made inside the start command, which then shows it or not.
        return dialog && DrainMessages(dialog) ? dialog : nullptr;
    }
    // The page shown comes with the dialog, the others from a message it posts itself once shown.
    static bool PagesMade(HWND dialog) {
        return WaitUntil([&] { return Pages(dialog).size() == 4; }, 2000);
    }

    // Ends the program with "Exit" and returns its exit code.
    DWORD ExitWithButton(HWND dialog) {
        ClickButton(GetDlgItem(dialog, kExit));
        DWORD code = 0xFFFF;
        EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "Exit did not end the program";
        return code;
    }

    // A second start hands over to this one: it ends with 1 and the dialog comes to the front.
    void ExpectSecondStartShows(HWND dialog) {
        Process second;
        ASSERT_TRUE(StartHuepeek(second, L""));
        DWORD code = 0xFFFF;
        ASSERT_TRUE(second.WaitExit(kExitTimeoutMs, &code));
        EXPECT_EQ(DWORD(1), code);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 2000)) << "not shown";
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000)) << "not in front";
        EXPECT_TRUE(huepeek_.Running());
    }

    static std::wstring Caption(HWND dialog) { return WindowText(GetDlgItem(dialog, kFrame)); }

    static std::vector<int> CheckedTabs(HWND dialog) {
        std::vector<int> checked;
        for (int id : {kTabPicker, kTabBlank, kTabInfo, kTabMore})
            if (IsChecked(GetDlgItem(dialog, id))) checked.push_back(id);
        return checked;
    }

    // Presses a page button as the user does and waits for the page to change.
    static void PressTab(HWND dialog, int id, const wchar_t* caption) {
        ClickButton(GetDlgItem(dialog, id));
        EXPECT_TRUE(WaitUntil([&] { return Caption(dialog) == caption; }, 2000))
            << "caption " << std::string(Caption(dialog).begin(), Caption(dialog).end());
    }

    Process huepeek_;
};

TEST_F(MainDialogTest, FirstStartShowsThePickerPageWithTitleAndToolbar) {
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog) << "no main dialog";
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(kTitle, WindowText(dialog));
    EXPECT_EQ(L"Program", Caption(dialog));
    ASSERT_TRUE(PagesMade(dialog));
    HWND const page = VisiblePage(dialog);
    ASSERT_NE(nullptr, page) << "no page shown";
    EXPECT_EQ(L"? &Pixel ?", WindowText(GetDlgItem(page, kPick)));
    EXPECT_EQ(0u, WindowText(GetDlgItem(page, kUsage)).find(L"Press the \"? Pixel ?\" button"));
    EXPECT_EQ(L"0", StoredSetting(L"c_wnd")) << "page 2 by default, then the picker page";
    EXPECT_EQ(std::vector<int>{kTabPicker}, CheckedTabs(dialog)) << "the page shown, but not its button";

    HWND const toolbar = Toolbar(dialog);
    ASSERT_NE(nullptr, toolbar);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kThanks))) << "the toolbar's placeholder shows";
    EXPECT_EQ(4, SendMessageW(toolbar, 0x418 /* TB_BUTTONCOUNT */, 0, 0));
    struct {
        int command;
        const wchar_t* text;
    } const buttons[] = {
        {kThanks, L"Freeware (C) 2026 Vantorel # https://www.vantorel.com"},
        {kDonate, L"# Donate"},
        {kLanguage, L"# LNG"},
        {kFaq, L"# FAQ"},
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i, SendMessageW(toolbar, 0x419 /* TB_COMMANDTOINDEX */, buttons[i].command, 0));
        EXPECT_EQ(buttons[i].text, ToolbarButtonText(toolbar, buttons[i].command));
    }
    struct {
        int id;
        const wchar_t* text;
    } const texts[] = {
        {kTabPicker, L"&Huepeek"},      {kTabInfo, L"&Info"}, {kTabMore, L"&More"},
        {kToTray, L"&To-Tray"},         {kExit, L"E&xit"},    {kStartTray, L"&Always start minimized"},
        {1014, L"Start with &Windows"},
    };
    for (const auto& t : texts) EXPECT_EQ(t.text, WindowText(GetDlgItem(dialog, t.id))) << t.id;
}

TEST_F(MainDialogTest, PageButtonsShowTheirPagesAndMarkOneButton) {
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    PressTab(dialog, kTabInfo, L"Info");
    EXPECT_NE(L"", WindowText(GetDlgItem(VisiblePage(dialog), kVersion)));
    EXPECT_EQ(std::vector<int>{kTabInfo}, CheckedTabs(dialog));
    EXPECT_EQ(L"1", StoredSetting(L"c_wnd"));

    PressTab(dialog, kTabMore, L"More");
    EXPECT_EQ(L"&Recommend the program ", WindowText(GetDlgItem(VisiblePage(dialog), kRecommend)));
    EXPECT_EQ(std::vector<int>{kTabMore}, CheckedTabs(dialog));
    EXPECT_EQ(L"3", StoredSetting(L"c_wnd"));

    PressTab(dialog, kTabInfo, L"Info");
    EXPECT_EQ(std::vector<int>{kTabInfo}, CheckedTabs(dialog)) << "after More then Info";

    // The hidden page button shows the blank page under the title of ID 0, English's translator line.
    Command(dialog, kTabBlank);
    EXPECT_TRUE(
        WaitUntil([&] { return Caption(dialog) == L"https://www.vantorel.com/?seite=translate"; }, 2000));
    HWND const blank = VisiblePage(dialog);
    ASSERT_NE(nullptr, blank);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(blank, kUsage), GWL_STYLE) & WS_VSCROLL) << "not the blank page";
    EXPECT_EQ(L"2", StoredSetting(L"c_wnd"));
    EXPECT_EQ(std::vector<int>{kTabBlank}, CheckedTabs(dialog));

    PressTab(dialog, kTabPicker, L"Program");
    EXPECT_EQ(std::vector<int>{kTabPicker}, CheckedTabs(dialog));
    EXPECT_EQ(L"0", StoredSetting(L"c_wnd"));
}

// The page selected last opens again at the next start. A stored page outside 0 to 3 shows no page
// and no caption, and is written back unchanged; the page buttons still work.
TEST_F(MainDialogTest, TheStoredPageOpensAtTheNextStart) {
    HWND dialog = Start();
    ASSERT_NE(nullptr, dialog);
    PressTab(dialog, kTabInfo, L"Info");
    EXPECT_EQ(DWORD(1), ExitWithButton(dialog));
    struct {
        const wchar_t* stored;
        bool byTheLastRun;  // else written before the start
        int pageControl;    // a control of the page shown; 0: no page
        const wchar_t* caption;
    } const cases[] = {
        {L"1", true, kVersion, L"Info"},
        {L"7", false, 0, L""},
        {L"-1", false, 0, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "c_wnd " << std::string(c.stored, c.stored + lstrlenW(c.stored)));
        if (!c.byTheLastRun) {
            ASSERT_TRUE(WriteSetting(L"c_wnd", c.stored));
        }
        dialog = Start();
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(PagesMade(dialog));
        HWND const page = VisiblePage(dialog);
        if (c.pageControl) {
            ASSERT_NE(nullptr, page);
            EXPECT_NE(nullptr, GetDlgItem(page, c.pageControl)) << "another page";
        } else {
            EXPECT_EQ(nullptr, page);
        }
        EXPECT_EQ(c.caption, Caption(dialog));
        EXPECT_EQ(c.stored, StoredSetting(L"c_wnd"));
        PressTab(dialog, kTabMore, L"More");
        EXPECT_NE(nullptr, VisiblePage(dialog));
        EXPECT_EQ(DWORD(1), ExitWithButton(dialog));
    }
}

TEST_F(MainDialogTest, StartMinimizedAndBackgroundStartsStayHiddenUntilASecondStart) {
    HWND dialog = Start();
    ASSERT_NE(nullptr, dialog);
    HWND const box = GetDlgItem(dialog, kStartTray);
    ClickButton(box);
    EXPECT_TRUE(WaitUntil([] { return StoredSetting(L"start_tray") == L"1"; }, 2000))
        << "not written at once";
    EXPECT_TRUE(IsChecked(box));
    EXPECT_EQ(DWORD(1), ExitWithButton(dialog));

    dialog = Start();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PagesMade(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog)) << "start_tray = 1 shows the dialog";
    EXPECT_TRUE(IsChecked(GetDlgItem(dialog, kStartTray)));
    ExpectSecondStartShows(dialog);
    huepeek_.Kill();

    ResetSettings();
    dialog = Start(L"-bg");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PagesMade(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog)) << "-bg shows the dialog";
    ExpectSecondStartShows(dialog);
}

TEST_F(MainDialogTest, ToTrayEscapeAndCloseHideWithoutEnding) {
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    struct {
        const char* how;
        void (*act)(HWND);
    } const ways[] = {
        {"To-Tray", [](HWND d) { ClickButton(GetDlgItem(d, kToTray)); }},
        {"Escape",
         [](HWND d) {
             RECT const r = ClientRectOnScreen(d);
             MoveCursor((r.left + r.right) / 2, r.bottom - 30);
             PressKey(VK_ESCAPE);
         }},
        {"close button", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        ASSERT_TRUE(IsWindowVisible(dialog));
        way.act(dialog);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 2000)) << "still shown";
        EXPECT_TRUE(DrainMessages(dialog)) << "the program ended";
        ExpectSecondStartShows(dialog);
    }
}

TEST_F(MainDialogTest, ExitAndEnterOnACheckBoxEndWith1) {
    HWND dialog = Start();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(DWORD(1), ExitWithButton(dialog));

    dialog = Start();
    ASSERT_NE(nullptr, dialog);
    // A real click puts the focus on the check box; Enter then reaches the dialog as IDOK.
    RECT box;
    GetWindowRect(GetDlgItem(dialog, kStartTray), &box);
    ClickAt(box.left + 6, (box.top + box.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(dialog, kStartTray)); }, 2000));
    PressKey(VK_RETURN);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "Enter did not end the program";
    EXPECT_EQ(DWORD(1), code);
}

TEST_F(MainDialogTest, MinimizeRequestFollowsTrayIfMinimize) {
    ASSERT_TRUE(WriteSetting(L"tray_if_minimize", L"0"));
    HWND dialog = Start();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Deliver(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "hidden with tray_if_minimize = 0";
    EXPECT_FALSE(IsIconic(dialog)) << "minimized with tray_if_minimize = 0";
    huepeek_.Kill();

    ResetSettings();
    dialog = Start();
    ASSERT_NE(nullptr, dialog);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 2000)) << "not sent to the tray";
    EXPECT_TRUE(huepeek_.Running());
}

// Each command opens its page of the maker's site once, German pages for the German interface.
TEST_F(MainDialogTest, PageCommandsOpenTheirAddressesOnce) {
    struct {
        const wchar_t* language;
        int command;
        bool onMorePage;
        const wchar_t* address;
    } const cases[] = {
        {L"1", kThanks, false, L"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks"},
        {L"1", kLicence, false, L"https://www.vantorel.com/?seite=Microsoft/Huepeek/Eula"},
        {L"1", kDonate, false, L"https://www.vantorel.com?seite=paypal&Program=Huepeek"},
        {L"1", kFaq, false, L"https://www.vantorel.com?seite=faq-Huepeek&faq=0"},
        {L"1", kMoreFreeware, true, L"https://www.vantorel.com"},
        {L"0", kThanks, false, L"https://www.vantorel.de/?seite=Microsoft/Huepeek/Danke"},
        {L"0", kLicence, false, L"https://www.vantorel.de/?seite=Microsoft/Huepeek/Lizenz"},
        {L"0", kDonate, false, L"https://www.vantorel.de?seite=paypal&Program=Huepeek"},
        {L"0", kFaq, false, L"https://www.vantorel.de?seite=faq-Huepeek&faq=0"},
        {L"0", kMoreFreeware, true, L"https://www.vantorel.de"},
    };
    std::wstring running;
    HWND dialog = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lng " << c.language << ", command " << c.command);
        if (running != c.language) {
            huepeek_.Kill();
            ASSERT_TRUE(WriteSetting(L"lng", c.language));
            dialog = Start();
            ASSERT_NE(nullptr, dialog);
            running = c.language;
        }
        UrlRecorder recorder;
        if (c.onMorePage) {
            PressTab(dialog, kTabMore, c.language == std::wstring(L"0") ? L"Mehr" : L"More");
            ClickButton(GetDlgItem(VisiblePage(dialog), c.command));
        } else if (c.command == kThanks || c.command == kFaq || c.command == kDonate) {
            // The toolbar's own buttons, clicked as the user does.
            RECT const r = ToolbarButtonRectOnScreen(Toolbar(dialog), c.command);
            ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        } else {
            Command(dialog, c.command);
        }
        ASSERT_TRUE(recorder.WaitForUrls(1, 5000)) << "nothing opened";
        ASSERT_TRUE(DrainMessages(dialog));
        ASSERT_TRUE(recorder.WaitForOpenCommands(5000));
        ASSERT_EQ(1u, recorder.Urls().size()) << "opened more than once";
        EXPECT_EQ(c.address, recorder.Urls()[0]);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
}

// A More-page command that reaches the pages while another page is current does nothing: no page,
// no mail, no uninstall question.
TEST_F(MainDialogTest, MorePageCommandsActOnlyOnTheMorePage) {
    MailRecorder mail;
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PagesMade(dialog));
    HWND more = nullptr;
    for (HWND page : Pages(dialog))
        if (GetDlgItem(page, kRecommend) && GetDlgItem(page, 1017)) more = page;
    ASSERT_NE(nullptr, more);
    UrlRecorder recorder;
    for (int id : {kMoreFreeware, kRecommend, 1017 /* send */, 1014 /* uninstall */})
        EXPECT_TRUE(Deliver(more, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0)) << "no answer to " << id;
    ASSERT_TRUE(recorder.WaitForOpenCommands(5000));
    EXPECT_TRUE(recorder.Urls().empty()) << "opened from the picker page";
    EXPECT_TRUE(mail.Mails().empty()) << "mailed from the picker page";
    EXPECT_EQ(nullptr, FindTopWindow(L"#32770", L"Info", huepeek_.Id())) << "asked from the picker page";
    EXPECT_TRUE(huepeek_.Running());
}

TEST_F(MainDialogTest, PickerButtonOpensThePickerAndHidesTheDialog) {
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    ClickCentre(GetDlgItem(VisiblePage(dialog), kPick));
    HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, picker) << "no picker";
    // The picker shows first; the dialog goes to the tray after it.
    ASSERT_TRUE(DrainMessages(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the dialog stays shown under the picker";
    EXPECT_TRUE(HoldKeyUntil(
        VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, 2000));
    EXPECT_TRUE(DrainMessages(dialog)) << "Esc ended the program outside direct picker mode";
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the dialog stays in the tray after picking";
}

// Settings that cannot be written (a volatile key above them refuses lasting subkeys) keep the
// choices made for the run.
TEST_F(MainDialogTest, FailedSettingsWritesKeepTheChoicesForTheRun) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek", 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    PressTab(dialog, kTabInfo, L"Info");
    ClickButton(GetDlgItem(dialog, kStartTray));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(dialog, kStartTray)); }, 2000));
    EXPECT_EQ(L"", StoredSetting(L"start_tray")) << "the write was expected to fail";
    ClickButton(GetDlgItem(dialog, kToTray));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 2000));
    ExpectSecondStartShows(dialog);
    EXPECT_TRUE(IsChecked(GetDlgItem(dialog, kStartTray)));
    EXPECT_EQ(L"Info", Caption(dialog));
    ResetSettings();
}

// Within each dialog every control ID is used once (a repeated ID reaches only the first control).
TEST_F(MainDialogTest, ControlIdsAreUniqueWithinEachDialog) {
    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PagesMade(dialog));
    std::vector<HWND> dialogs = Pages(dialog);
    dialogs.push_back(dialog);
    for (HWND d : dialogs) {
        std::set<int> seen;
        for (HWND child = GetWindow(d, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int const id = GetDlgCtrlID(child);
            if (id == -1 || id == 0xFFFF || ClassNameOf(child) == L"#32770") continue;
            EXPECT_TRUE(seen.insert(id).second) << "ID " << id << " twice";
        }
    }
}

}  // namespace
}  // namespace e2e
