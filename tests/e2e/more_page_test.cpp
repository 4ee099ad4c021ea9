// The More page's mail and uninstall buttons as a user meets them: the mail reaches the user's mail
// program through Simple MAPI, and uninstall removes the program and its autostart entry.
#include <functional>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness.h"
#include "mail_recorder.h"
#include "screen_pixels.h"
#include "files.h"

namespace e2e {
namespace {

int const kTabMore = 1089;
int const kRecommend = 2031;
int const kSend = 1017;
int const kUninstall = 1014;
ULONG const kLogonUiAndDialog = 9;  // MAPI_LOGON_UI | MAPI_DIALOG
ULONG const kNoPosition = 0xFFFFFFFF;

// English and German texts 60 and 61 with their placeholders filled, for a site address.
std::wstring EnglishText(const std::wstring& site) {
    std::wstring const download = site + L"?site=Freeware/Huepeek";
    return L"Hello,\r\n \r\n I found Huepeek . \r\n \r\n .....................................\r\n \r\n "
           L"website: " +
           download + L"\r\n download: " + download + L"?Download=Huepeek\r\n ";
}

wchar_t const kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

bool RunValueExists(HKEY hive, const wchar_t* name) {
    return RegGetValueW(hive, kRun, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void WriteRunValue(HKEY hive, const wchar_t* name, const std::wstring& command) {
    RegSetKeyValueW(hive, kRun, name, REG_SZ, command.c_str(), DWORD((command.size() + 1) * sizeof(wchar_t)));
}

// Visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search = {processId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) {
            Search* const s = reinterpret_cast<Search*>(lParam);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->processId && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Unzips the zip into a new folder with Debian's unzip, which checks every CRC as it goes; returns
// the names of what came out.
std::vector<std::wstring> Unzip(const std::wstring& zip, const std::wstring& folder) {
    std::vector<std::wstring> names;
    DWORD code = 0xFFFF;
    bool const ran =
        RunLinuxCommand("unzip -q -o '" + UnixPath(zip) + "' -d '" + UnixPath(folder) + "'", &code);
    EXPECT_TRUE(ran) << "unzip did not run";
    EXPECT_EQ(0u, code) << "unzip found the zip faulty";
    WIN32_FIND_DATAW found;
    HANDLE const search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

class MorePageTest : public E2eTest {
  protected:
    // Starts the program (or a copy) and shows its More page.
    HWND StartOnMorePage(const std::wstring& exe = HuepeekPath()) {
        if (!huepeek_.Start(exe, L"")) return nullptr;
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        if (!dialog_ || !WaitUntil([&] { return IsWindowVisible(dialog_) != FALSE; }, 2000)) return nullptr;
        ClickButton(GetDlgItem(dialog_, kTabMore));
        HWND page = nullptr;
        bool const shown =
            WaitUntil([&] { return (page = VisiblePage(dialog_)) && GetDlgItem(page, kUninstall); }, 2000);
        return shown ? page : nullptr;
    }
    void Press(HWND page, int id) { ClickButton(GetDlgItem(page, id)); }
    // Presses "Uninstall" and answers its question with Yes.
    bool UninstallAnsweringYes(HWND page) {
        Press(page, kUninstall);
        HWND const question = WaitForQuestion();
        if (!question) return false;
        ClickButton(GetDlgItem(question, IDYES));
        return true;
    }

    // The uninstall question in English or German, once it shows.
    HWND WaitForQuestion() { return WaitForWindow(L"#32770", L"Info", huepeek_.Id(), 5000); }
    static std::wstring QuestionText(HWND box) {
        for (HWND text : ChildWindows(box, L"Static"))
            if (!WindowText(text).empty()) return WindowText(text);
        return L"";
    }
    static void Screenshot(HWND window, const wchar_t* name) {
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_TRUE(WaitUntilPainted(rect, 3000)) << "the window keeps changing";
        EXPECT_TRUE(SaveScreenshot(rect, ScreenshotDir() + L"\\" + name));
    }

    Process huepeek_;
    HWND dialog_ = nullptr;
};

// The tests run in the zone UTC (the test command sets TZ): the European site for every language but
// German.
TEST_F(MorePageTest, RecommendComposesTheMailInTheCurrentLanguage) {
    struct {
        const wchar_t* language;
        const wchar_t* subject;
        std::wstring text;
    } const cases[] = {
        {L"1", L"Juhuuuu I found Huepeek! :Huepeek", EnglishText(L"https://www.vantorel.eu")},
        {L"0", L"Juhu, ich habe Huepeek gefunden! :Huepeek",
         L"Hallo,\r\n \r\n ich habe Huepeek gefunden. \r\n \r\n .....................................\r\n "
         L"\r\n "
         L"Website: https://www.vantorel.de?site=Freeware/Huepeek\r\n Download: "
         L"https://www.vantorel.de?site=Freeware/Huepeek?Download=Huepeek\r\n "},
        // Russian, which no Western ANSI code page holds, arrives whole through the wide call.
        {L"5", L"\u0423\u0440\u0430, \u044f \u043d\u0430\u0448\u0451\u043b Huepeek! :Huepeek",
         L"\u041f\u0440\u0438\u0432\u0435\u0442!\r\n \r\n \u042f \u043d\u0430\u0448\u0451\u043b "
         L"\u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0443 Huepeek. \r\n \r\n "
         L".....................................\r\n \r\n \u0421\u0430\u0439\u0442: "
         L"https://www.vantorel.eu?site=Freeware/Huepeek\r\n \u0421\u043a\u0430\u0447\u0430\u0442\u044c: "
         L"https://www.vantorel.eu?site=Freeware/Huepeek?Download=Huepeek\r\n "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lng " << c.language);
        ResetSettings();
        ASSERT_TRUE(WriteSetting(L"lng", c.language));
        MailRecorder mail;
        HWND const page = StartOnMorePage();
        ASSERT_NE(nullptr, page);
        Press(page, kRecommend);
        ASSERT_TRUE(mail.WaitForMails(1, 5000)) << "no mail composed";
        ASSERT_TRUE(DrainMessages(dialog_));
        std::vector<RecordedMail> const mails = mail.Mails();
        ASSERT_EQ(1u, mails.size());
        RecordedMail const& m = mails[0];
        EXPECT_EQ(L"MAPISendMailW", m.call);
        EXPECT_EQ(0u, m.session);
        EXPECT_EQ(ULONG_PTR(page), m.owner) << "the page owns the mail program's window";
        EXPECT_EQ(kLogonUiAndDialog, m.flags);
        EXPECT_EQ(0u, m.reserved);
        EXPECT_EQ(c.subject, m.subject);
        EXPECT_EQ(c.text, m.text);
        EXPECT_EQ(0u, m.recipients) << "the user fills in the recipients";
        EXPECT_EQ(0u, m.fileCount) << "recommending attaches nothing";
        EXPECT_TRUE(huepeek_.Running());
        huepeek_.Kill();
    }
}

// "Send the program" attaches the program as a zip that is complete when the mail is composed (the
// mail program's copy is taken during the call) and holds the exe once, however often it is sent.
TEST_F(MorePageTest, SendAttachesTheProgramZipped) {
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    std::wstring const zip = TempFolder() + L"Huepeek.zip";
    DeleteFileW(zip.c_str());
    MailRecorder mail;
    HWND const page = StartOnMorePage();
    ASSERT_NE(nullptr, page);
    Press(page, kSend);
    ASSERT_TRUE(mail.WaitForMails(1, 5000)) << "no mail composed";
    Press(page, kSend);
    ASSERT_TRUE(mail.WaitForMails(2, 5000)) << "no second mail";
    std::string const program = FileBytes(HuepeekPath());
    ASSERT_FALSE(program.empty());
    int n = 0;
    for (RecordedMail const& m : mail.Mails()) {
        SCOPED_TRACE(testing::Message() << "mail " << ++n);
        EXPECT_EQ(L"MAPISendMailW", m.call);
        EXPECT_EQ(L"Juhuuuu I found Huepeek! :Huepeek", m.subject);
        EXPECT_EQ(EnglishText(L"https://www.vantorel.eu"), m.text);
        EXPECT_EQ(0u, m.recipients);
        ASSERT_EQ(1u, m.fileCount);
        ASSERT_EQ(1u, m.files.size());
        EXPECT_EQ(kNoPosition, m.files[0].position);
        EXPECT_EQ(zip, m.files[0].path);
        EXPECT_EQ(L"Huepeek.zip", m.files[0].name);
        ScratchFolder const folder(L"huepeek-unzipped");
        std::vector<std::wstring> const names = Unzip(m.files[0].copy, folder.Path());
        ASSERT_EQ(std::vector<std::wstring>{L"Huepeek.exe"}, names);
        EXPECT_TRUE(FileBytes(folder.Path() + L"\\Huepeek.exe") == program) << "the zipped exe differs";
    }
    EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer";
    EXPECT_FALSE(FileExists(zip)) << "the zip stays in the temporary folder";
    EXPECT_TRUE(huepeek_.Running());
}

TEST_F(MorePageTest, WithoutAMailProgramTheButtonsDoNothingVisible) {
    std::wstring const zip = TempFolder() + L"Huepeek.zip";
    DeleteFileW(zip.c_str());
    MailRecorder noMailProgram(false);
    HWND const page = StartOnMorePage();
    ASSERT_NE(nullptr, page);
    // Pressed and handled.
    EXPECT_TRUE(Deliver(GetDlgItem(page, kRecommend), BM_CLICK, 0, 0));
    EXPECT_TRUE(Deliver(GetDlgItem(page, kSend), BM_CLICK, 0, 0));
    EXPECT_EQ(std::vector<HWND>{dialog_}, VisibleWindowsOf(huepeek_.Id())) << "something showed";
    EXPECT_FALSE(FileExists(zip)) << "a zip was built for no mail";
    EXPECT_TRUE(noMailProgram.Mails().empty());
    EXPECT_TRUE(huepeek_.Running());
}

// The mail's site and the uninstall page follow the time zone; the test command sets TZ and the
// site expected there.
TEST_F(MorePageTest, SiteVariantFollowsTheTimeZone) {
    wchar_t expected[64] = {};
    if (!GetEnvironmentVariableW(L"HUEPEEK_EXPECTED_SITE", expected, ARRAYSIZE(expected)))
        GTEST_SKIP() << "run by the time-zone variants of this test";
    ProgramCopy const copy(L"Huepeek in a time zone", L"huepeek.exe");
    ASSERT_TRUE(copy.Copied());
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    MailRecorder mail;
    UrlRecorder urls;
    HWND const page = StartOnMorePage(copy.Exe());
    ASSERT_NE(nullptr, page);
    Press(page, kRecommend);
    ASSERT_TRUE(mail.WaitForMails(1, 5000));
    EXPECT_EQ(EnglishText(expected), mail.Mails()[0].text);
    ASSERT_TRUE(UninstallAnsweringYes(page)) << "no question";
    ASSERT_TRUE(urls.WaitForUrls(1, 5000));
    EXPECT_EQ(std::wstring(expected) + L"?site=Microsoft/Huepeek/Uninstall", urls.Urls()[0]);
    DWORD code = 0xFFFF;
    EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(copy.Exe()); }, 20000)) << "the exe stays";
}

// Any answer but Yes leaves everything as it was. The question speaks the current language, names
// the files that would go, and has No as its default: a stray Enter deletes nothing.
TEST_F(MorePageTest, UninstallAnsweredOtherwiseThanYesChangesNothing) {
    ProgramCopy const copy(L"Huepeek kept", L"huepeek.exe");
    ASSERT_TRUE(copy.Copied());
    WriteRunValue(HKEY_CURRENT_USER, L"Huepeek", L"\"" + copy.Exe() + L"\" -bg -startup");
    std::wstring const batch = TempFolder() + L"huepeek.exe_selfdestruct.bat";
    DeleteFileW(batch.c_str());
    auto const enter = [](HWND box) {
        // Keys reach the window under the pointer.
        RECT rect;
        GetWindowRect(box, &rect);
        MoveCursor((rect.left + rect.right) / 2, rect.top + 8);
        PressKey(VK_RETURN);
    };
    struct {
        const char* how;
        std::function<void(HWND)> answer;
        const wchar_t* language;
        const wchar_t* caption;
        std::wstring question;
        const wchar_t* screenshot;
    } const answers[] = {
        {"Enter", enter, L"1", L"Info", L"Uninstall deletes:\n" + copy.Exe() + L"\n\nAre you sure?",
         L"uninstall_question_en.png"},
        {"Cancel", [](HWND box) { ClickButton(GetDlgItem(box, IDCANCEL)); }, L"0", L"Info",
         L"Deinstallieren l\u00f6scht:\n" + copy.Exe() + L"\n\nSind Sie sicher?",
         L"uninstall_question_de.png"},
        {"closed", [](HWND box) { PostMessageW(box, WM_CLOSE, 0, 0); }, L"5",
         L"\u0418\u043d\u0444\u043e\u0440\u043c\u0430\u0446\u0438\u044f",
         L"\u0411\u0443\u0434\u0443\u0442 \u0443\u0434\u0430\u043b\u0435\u043d\u044b "
         L"\u0444\u0430\u0439\u043b\u044b:\n" +
             copy.Exe() + L"\n\n\u0412\u044b \u0443\u0432\u0435\u0440\u0435\u043d\u044b?",
         L"uninstall_question_ru.png"},
    };
    for (const auto& a : answers) {
        SCOPED_TRACE(a.how);
        ASSERT_TRUE(WriteSetting(L"lng", a.language));
        UrlRecorder urls;
        HWND const page = StartOnMorePage(copy.Exe());
        ASSERT_NE(nullptr, page);
        Press(page, kUninstall);
        HWND const box = WaitForWindow(L"#32770", a.caption, huepeek_.Id(), 5000);
        ASSERT_NE(nullptr, box) << "no question";
        EXPECT_EQ(a.question, QuestionText(box));
        for (int button : {IDYES, IDNO, IDCANCEL}) EXPECT_NE(nullptr, GetDlgItem(box, button)) << button;
        // A message box marks its default button by style and gives it the focus.
        HWND const no = GetDlgItem(box, IDNO);
        EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(no, GWL_STYLE) & BS_TYPEMASK) << "No is not the default";
        GUITHREADINFO focus = {};
        focus.cbSize = sizeof(focus);
        EXPECT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &focus));
        EXPECT_EQ(no, focus.hwndFocus) << "the focus is not on No";
        Screenshot(box, a.screenshot);
        a.answer(box);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000)) << "the question stays";
        EXPECT_TRUE(DrainMessages(dialog_)) << "the program ended";
        EXPECT_TRUE(urls.WaitForOpenCommands(5000));
        EXPECT_TRUE(FileExists(copy.Exe()));
        EXPECT_FALSE(FileExists(batch));
        EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, L"Huepeek"));
        EXPECT_TRUE(urls.Urls().empty());
        huepeek_.Kill();
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Huepeek");
}

// Yes: the "Huepeek" entry of the user's Run key goes (no other entry), the uninstall page opens,
// the program ends, and the batch it leaves deletes the exe, a portable settings file and itself,
// whatever the folder is called. Registry settings stay.
TEST_F(MorePageTest, UninstallDeletesTheProgram) {
    struct {
        const wchar_t* folder;
        const wchar_t* exe;
        const wchar_t* language;
        bool portable;
        const wchar_t* page;
    } const cases[] = {
        {L"Huepeek with blanks", L"huepeek.exe", L"1", false,
         L"https://www.vantorel.eu?site=Microsoft/Huepeek/Uninstall"},
        {L"100% Huepeek %TEMP%", L"picker.exe", L"0", false,
         L"https://www.vantorel.de?site=Microsoft/Huepeek/Uninstall"},
        {L"Huepeek portable", L"huepeek.exe", L"0", true,
         L"https://www.vantorel.de?site=Microsoft/Huepeek/Uninstall"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "in " << std::string(c.folder, c.folder + lstrlenW(c.folder)));
        ResetSettings();
        ProgramCopy const copy(c.folder, c.exe);
        ASSERT_TRUE(copy.Copied());
        ASSERT_TRUE(copy.Folder().WriteFile(L"notes.txt", "the user's own file"));
        if (c.portable)
            ASSERT_TRUE(copy.Folder().WriteFile(
                copy.SettingsFileName(), "[Program]\r\nlng=" + std::string(1, char(c.language[0])) + "\r\n"));
        else
            ASSERT_TRUE(WriteSetting(L"lng", c.language));
        WriteRunValue(HKEY_CURRENT_USER, L"Huepeek", L"\"" + copy.Exe() + L"\" -bg -startup");
        WriteRunValue(HKEY_CURRENT_USER, L"OtherProgram", L"other.exe");
        WriteRunValue(HKEY_LOCAL_MACHINE, L"Huepeek", L"\"" + copy.Exe() + L"\" -bg -startup");
        std::wstring const batch = TempFolder() + c.exe + L"_selfdestruct.bat";
        UrlRecorder urls;
        HWND const page = StartOnMorePage(copy.Exe());
        ASSERT_NE(nullptr, page);
        ASSERT_TRUE(UninstallAnsweringYes(page)) << "no question";
        DWORD code = 0xFFFF;
        EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "the program runs on";
        EXPECT_EQ(0u, code);
        ASSERT_TRUE(urls.WaitForUrls(1, 5000));
        // The program has ended; the batch it leaves is a command too.
        EXPECT_TRUE(urls.WaitForOpenCommands(20000));
        EXPECT_EQ(std::vector<std::wstring>{c.page}, urls.Urls());
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(copy.Exe()); }, 20000)) << "the exe stays";
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(batch); }, 5000)) << "the batch stays";
        if (c.portable) {
            EXPECT_FALSE(FileExists(copy.SettingsFile())) << "the settings file stays";
        }
        EXPECT_TRUE(FileExists(copy.Folder().Path() + L"\\notes.txt")) << "more than the program went";
        EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, L"Huepeek"));
        EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, L"OtherProgram"));
        EXPECT_TRUE(RunValueExists(HKEY_LOCAL_MACHINE, L"Huepeek")) << "the machine's entry is not ours";
        if (!c.portable) {
            EXPECT_EQ(c.language, StoredSetting(L"lng")) << "the settings went";
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"OtherProgram");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRun, L"Huepeek");
    }
}

// Uninstall that cannot work says so in the current language, names what failed, and changes
// nothing: the program runs on, the exe and the autostart entry stay, no page opens. Here the
// program's exe name holds "%", which cmd would read as a variable when the shell starts the
// batch; the copy is portable, so the question names its settings file too.
TEST_F(MorePageTest, UninstallThatCannotStartItsBatchSaysSoAndChangesNothing) {
    ProgramCopy const copy(L"Huepeek percent", L"huepeek %OS%.exe");
    ASSERT_TRUE(copy.Copied());
    std::wstring const batch = TempFolder() + L"huepeek %OS%.exe_selfdestruct.bat";
    DeleteFileW(batch.c_str());
    WriteRunValue(HKEY_CURRENT_USER, L"Huepeek", L"\"" + copy.Exe() + L"\" -bg -startup");
    struct {
        const char* language;
        const wchar_t* lng;
        const wchar_t* info;        // the question's caption
        const wchar_t* uninstall;   // the message's caption
        const wchar_t* deletes;     // the question's first line
        const wchar_t* notWritten;  // the message's first line
    } const languages[] = {
        {"en", L"1", L"Info", L"Uninstall", L"Uninstall deletes:", L"This file cannot be written:"},
        {"de", L"0", L"Info", L"Deinstallieren", L"Deinstallieren l\u00f6scht:",
         L"Diese Datei kann nicht geschrieben werden:"},
        {"ru", L"5", L"\u0418\u043d\u0444\u043e\u0440\u043c\u0430\u0446\u0438\u044f",
         L"\u0423\u0434\u0430\u043b\u0438\u0442\u044c",
         L"\u0411\u0443\u0434\u0443\u0442 \u0443\u0434\u0430\u043b\u0435\u043d\u044b "
         L"\u0444\u0430\u0439\u043b\u044b:",
         L"\u041d\u0435 \u0443\u0434\u0430\u0451\u0442\u0441\u044f "
         L"\u0437\u0430\u043f\u0438\u0441\u0430\u0442\u044c \u0444\u0430\u0439\u043b:"},
        {"ar", L"11", L"\u0645\u0639\u0644\u0648\u0645\u0627\u062a",
         L"\u0625\u0644\u063a\u0627\u0621 \u0627\u0644\u062a\u062b\u0628\u064a\u062a",
         L"\u064a\u062d\u0630\u0641 \u0625\u0644\u063a\u0627\u0621 "
         L"\u0627\u0644\u062a\u062b\u0628\u064a\u062a:",
         L"\u062a\u062a\u0639\u0630\u0631 \u0643\u062a\u0627\u0628\u0629 \u0647\u0630\u0627 "
         L"\u0627\u0644\u0645\u0644\u0641:"},
        {"ja", L"4", L"\u60c5\u5831", L"\u30a2\u30f3\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb",
         L"\u30a2\u30f3\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u3067\u524a\u9664\u3055\u308c\u308b\u30d5\u30a1"
         L"\u30a4\u30eb\uff1a",
         L"\u3053\u306e\u30d5\u30a1\u30a4\u30eb\u306b\u66f8\u304d\u8fbc\u3081\u307e\u305b\u3093\uff1a"},
    };
    // Japanese draws only under a Japanese locale: the build runs this test once more under one,
    // for Japanese alone.
    bool const japanese = GetEnvironmentVariableW(L"HUEPEEK_JAPANESE_RUN", nullptr, 0) > 0;
    for (const auto& l : languages) {
        if ((std::string(l.language) == "ja") != japanese) continue;
        SCOPED_TRACE(l.language);
        ASSERT_TRUE(copy.Folder().WriteFile(
            copy.SettingsFileName(),
            "[Program]\r\nlng=" + std::string(l.lng, l.lng + lstrlenW(l.lng)) + "\r\n"));
        UrlRecorder urls;
        HWND const page = StartOnMorePage(copy.Exe());
        ASSERT_NE(nullptr, page);
        Press(page, kUninstall);
        HWND const question = WaitForWindow(L"#32770", l.info, huepeek_.Id(), 5000);
        ASSERT_NE(nullptr, question) << "no question";
        std::wstring const asked = QuestionText(question);
        EXPECT_EQ(0u, asked.find(std::wstring(l.deletes) + L"\n" + copy.Exe() + L"\n" + copy.SettingsFile() +
                                 L"\n\n"))
            << "not the exe and its settings file";
        Screenshot(
            question,
            (L"uninstall_question_portable_" + std::wstring(l.language, l.language + 2) + L".png").c_str());
        ClickButton(GetDlgItem(question, IDYES));

        HWND const box = WaitForWindow(L"#32770", l.uninstall, huepeek_.Id(), 5000);
        ASSERT_NE(nullptr, box) << "uninstall said nothing";
        std::wstring const told = QuestionText(box);
        EXPECT_EQ(0u, told.find(std::wstring(l.notWritten) + L"\n" + batch + L"\n\n"))
            << "not what failed, or where";
        Screenshot(box, (L"uninstall_refused_" + std::wstring(l.language, l.language + 2) + L".png").c_str());
        ClickButton(GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000)) << "the message stays";
        EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer";
        EXPECT_TRUE(huepeek_.Running()) << "the program ended";
        EXPECT_TRUE(FileExists(copy.Exe()));
        EXPECT_TRUE(FileExists(copy.SettingsFile()));
        EXPECT_FALSE(FileExists(batch));
        EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, L"Huepeek")) << "the autostart entry went";
        EXPECT_TRUE(urls.WaitForOpenCommands(5000));
        EXPECT_TRUE(urls.Urls().empty()) << "the uninstall page opened";
        huepeek_.Kill();
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Huepeek");
}

// Another copy of the same name is still uninstalling: its cmd holds the batch of that name. The
// batch is not written over, and the user learns why.
TEST_F(MorePageTest, UninstallWhileAnotherCopysBatchRunsSaysSo) {
    ProgramCopy const copy(L"Huepeek second copy", L"huepeek.exe");
    ASSERT_TRUE(copy.Copied());
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    std::wstring const batch = TempFolder() + L"huepeek.exe_selfdestruct.bat";
    std::string const running = "@echo off\r\nrem the other copy's batch\r\n";
    ASSERT_TRUE(WriteFileBytes(batch, running));
    HANDLE const held = CreateFileW(batch.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    UrlRecorder urls;
    HWND const page = StartOnMorePage(copy.Exe());
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(UninstallAnsweringYes(page)) << "no question";
    HWND const box = WaitForWindow(L"#32770", L"Uninstall", huepeek_.Id(), 5000);
    ASSERT_NE(nullptr, box) << "uninstall said nothing";
    std::wstring const told = QuestionText(box);
    EXPECT_EQ(0u, told.find(L"This file cannot be written:\n" + batch + L"\n\n")) << "not what, or where";
    EXPECT_GT(told.size(), 30 + batch.size()) << "not why";
    ClickButton(GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000));
    EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer";
    CloseHandle(held);
    EXPECT_TRUE(huepeek_.Running());
    EXPECT_TRUE(FileExists(copy.Exe()));
    EXPECT_EQ(running, FileBytes(batch)) << "the other copy's batch was written over";
    EXPECT_TRUE(urls.WaitForOpenCommands(5000));
    EXPECT_TRUE(urls.Urls().empty());
    DeleteFileW(batch.c_str());
}

// The zip cannot be written (an older one held open by a program that shares nothing): the user
// learns what failed instead of nothing, and no mail goes without its zip.
TEST_F(MorePageTest, SendWhoseZipCannotBeWrittenSaysSo) {
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    std::wstring const zip = TempFolder() + L"Huepeek.zip";
    DeleteFileW(zip.c_str());
    MailRecorder mail;
    HWND const page = StartOnMorePage();
    ASSERT_NE(nullptr, page);

    HANDLE const held =
        CreateFileW(zip.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Press(page, kSend);
    HWND const box = WaitForWindow(L"#32770", L"Send the program via e-mail", huepeek_.Id(), 5000);
    ASSERT_NE(nullptr, box) << "a zip that cannot be written is not told";
    EXPECT_EQ(0u, QuestionText(box).find(L"This file cannot be written:\n" + zip + L"\n\n"));
    Screenshot(box, L"send_zip_not_written_en.png");
    ClickButton(GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000));
    CloseHandle(held);
    EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer";
    EXPECT_TRUE(mail.Mails().empty()) << "a mail without its zip";
    EXPECT_TRUE(huepeek_.Running());
}

// The mail program reports an error: the user learns it, with the error's number. A zip that was
// sent is gone from the temporary folder once the mail program has it.
TEST_F(MorePageTest, MailProgramThatFailsIsTold) {
    ASSERT_TRUE(WriteSetting(L"lng", L"1"));
    std::wstring const zip = TempFolder() + L"Huepeek.zip";
    DeleteFileW(zip.c_str());
    MailRecorder mail;
    struct {
        int button;
        const wchar_t* caption;
        bool attaches;
    } const failing[] = {{kSend, L"Send the program via e-mail", true},
                         {kRecommend, L"Recommend the program ", false}};
    ScopedEnvironment const mapiFailure(L"HUEPEEK_MAIL_RESULT", L"2");  // MAPI_E_FAILURE
    HWND const failingPage = StartOnMorePage();
    ASSERT_NE(nullptr, failingPage);
    for (const auto& f : failing) {
        SCOPED_TRACE(testing::Message() << "button " << f.button);
        size_t const before = mail.Mails().size();
        Press(failingPage, f.button);
        HWND const box = WaitForWindow(L"#32770", f.caption, huepeek_.Id(), 5000);
        ASSERT_NE(nullptr, box) << "a failing mail program is not told";
        EXPECT_EQ(L"The mail program reported an error: 2", QuestionText(box));
        if (f.attaches) {
            Screenshot(box, L"mail_failed_en.png");
        }
        ClickButton(GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000));
        EXPECT_TRUE(DrainMessages(dialog_)) << "the program does not answer";
        std::vector<RecordedMail> const mails = mail.Mails();
        ASSERT_EQ(before + 1, mails.size());
        EXPECT_EQ(f.attaches ? 1u : 0u, mails.back().fileCount);
        EXPECT_FALSE(FileExists(zip)) << "the zip stays in the temporary folder";
    }
    EXPECT_TRUE(huepeek_.Running());
}

}  // namespace
}  // namespace e2e
