// Portable mode: a settings file beside the exe, named like it with ".ini", keeps every setting;
// the registry is left alone.
#include <algorithm>
#include <string>

#include "dialog_driver.h"
#include "harness.h"
#include "files.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kSettingsKey[] = L"Software\\Vantorel\\Huepeek";
wchar_t const kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
int const kTabMore = 1089;
int const kTabMoreCaption = 32787;
int const kStartTray = 1010;
int const kExit = 1045;
int const kVersion = 1072;
int const kAddToCustomColours = 712;
int const kUninstall = 1014;

bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring RunValue(const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    RegGetValueW(HKEY_CURRENT_USER, kRun, name, RRF_RT_REG_SZ, nullptr, text, &bytes);
    return text;
}

class PortableTest : public E2eTest {
  protected:
    std::wstring FileSetting(const wchar_t* key) const {
        wchar_t text[64] = {};
        GetPrivateProfileStringW(L"Program", key, L"<none>", text, 64, copy_.SettingsFile().c_str());
        return text;
    }
    HWND StartDialog() {
        if (!huepeek_.Start(copy_.Exe(), L"")) return nullptr;
        HWND const dialog = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        return dialog && WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 2000) ? dialog : nullptr;
    }

    ProgramCopy const copy_{L"Huepeek portable", L"huepeek.exe"};
    Process huepeek_;
};

// Every setting the program writes (the check box, the page, the picked colour and the custom
// colours of the colour dialog) goes to the file, and the settings read at start come from it.
TEST_F(PortableTest, SettingsLiveInTheFileAndNeverInTheRegistry) {
    ASSERT_TRUE(copy_.Copied());
    ASSERT_TRUE(copy_.Folder().WriteFile(copy_.SettingsFileName(), "[Program]\r\nlng=0\r\nc_wnd=1\r\n"));
    // "Start with Windows" of another copy: a portable copy looks at it but does not take it over.
    std::wstring const otherCopy = L"\"C:\\Programs\\Huepeek\\huepeek.exe\"  -bg -startup";
    RegSetKeyValueW(HKEY_CURRENT_USER, kRun, L"Huepeek", REG_SZ, otherCopy.c_str(),
                    DWORD((otherCopy.size() + 1) * sizeof(wchar_t)));

    HWND const dialog = StartDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"Huepeek 3.36 (Portable) - x64", WindowText(dialog));
    EXPECT_EQ(L"&Mehr", WindowText(GetDlgItem(dialog, kTabMore))) << "the language is not the file's";
    HWND const page = VisiblePage(dialog);
    ASSERT_NE(nullptr, page);
    EXPECT_NE(nullptr, GetDlgItem(page, kVersion)) << "not the file's page, Info";
    ASSERT_TRUE(DrainMessages(dialog));
    RECT frame;
    GetWindowRect(dialog, &frame);
    SaveScreenshot(frame, ScreenshotDir() + L"\\main_dialog_portable_de.png");

    ClickButton(GetDlgItem(dialog, kStartTray));
    EXPECT_TRUE(WaitUntil([&] { return FileSetting(L"start_tray") == L"1"; }, 2000));
    ClickButton(GetDlgItem(dialog, kTabMore));
    EXPECT_TRUE(WaitUntil([&] { return FileSetting(L"c_wnd") == L"3"; }, 2000));
    EXPECT_EQ(L"Mehr", WindowText(GetDlgItem(dialog, kTabMoreCaption)));
    ClickButton(GetDlgItem(dialog, kExit));
    DWORD code = 0xFFFF;
    EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));

    // The picker stores the colour it takes; the colour dialog it opens (another process of the
    // same copy) keeps its custom colours.
    Process pattern;
    ASSERT_TRUE(pattern.Start(TestProgramDir() + L"\\pattern_window.exe", L"solid 540 300 200 200 0AC81E"));
    RECT const under = {640, 400, 641, 401};
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(under).Count(RGB(10, 200, 30)) == 1; }, kStartTimeoutMs))
        << "the pattern did not appear";
    MoveCursor(640, 400);
    ASSERT_TRUE(huepeek_.Start(copy_.Exe(), L"huepeek"));
    HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, picker);
    ASSERT_TRUE(DrainMessages(picker));
    Click();
    EXPECT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(std::to_wstring(10 | 200 << 8 | 30 << 16), FileSetting(L"last_rgb_color"));
    HWND const colours = WaitForWindow(L"#32770", nullptr, 0, kStartTimeoutMs);
    ASSERT_NE(nullptr, colours) << "no colour dialog";
    EXPECT_EQ(L"200", WindowText(GetDlgItem(colours, 707))) << "not the file's colour";
    DWORD paletteProcess = 0;
    GetWindowThreadProcessId(colours, &paletteProcess);
    ASSERT_TRUE(Deliver(GetDlgItem(colours, kAddToCustomColours), BM_CLICK, 0, 0));
    ClickButton(GetDlgItem(colours, IDOK));
    EXPECT_TRUE(WaitForNoWindow(L"#32770", paletteProcess, kExitTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return FileSetting(L"last_color_15") != L"<none>"; }, 2000));
    EXPECT_EQ(std::to_wstring(10 | 200 << 8 | 30 << 16), FileSetting(L"last_color_0"));

    EXPECT_FALSE(SettingsKeyExists()) << "a portable run wrote to the registry";
    EXPECT_EQ(otherCopy, RunValue(L"Huepeek")) << "the other copy's entry was rewritten";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Huepeek");
}

// Without the file the same copy keeps its settings in the registry and says nothing of portability.
TEST_F(PortableTest, WithoutTheFileNothingChanges) {
    ASSERT_TRUE(copy_.Copied());
    ASSERT_TRUE(WriteSetting(L"c_wnd", L"1"));
    HWND const dialog = StartDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"Huepeek 3.36 - x64", WindowText(dialog));
    ClickButton(GetDlgItem(dialog, kTabMore));
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"c_wnd") == L"3"; }, 2000));
    EXPECT_FALSE(FileExists(copy_.SettingsFile()));
}

// Down a path of 260 characters or more (Wine's loader starts a program from there) the file beside
// the exe still makes the copy portable and keeps its settings. Uninstall, which cmd cannot do by
// such a path, says so and changes nothing.
TEST_F(PortableTest, PortableDownAPathOf260CharactersOrMore) {
    ScratchFolder const root(L"huepeek deep portable");
    std::wstring const folder = DeepFolder(root.Path(), 270);
    std::wstring const exe = folder + L"\\huepeek.exe";
    std::wstring const ini = folder + L"\\huepeek.ini";
    ASSERT_TRUE(CopyFileW(HuepeekPath().c_str(), (L"\\\\?\\" + exe).c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + ini, "[Program]\r\nlng=0\r\nc_wnd=1\r\n"));
    ASSERT_TRUE(StartThroughWineLoader(exe, L"")) << "no wine command";
    HWND const dialog = WaitForWindow(L"#32770", L"Huepeek 3.36 (Portable) - x64", 0, kStartTimeoutMs);
    ASSERT_NE(nullptr, dialog) << "not portable";
    DWORD id = 0;
    GetWindowThreadProcessId(dialog, &id);
    ASSERT_TRUE(huepeek_.Attach(id));
    EXPECT_EQ(L"&Mehr", WindowText(GetDlgItem(dialog, kTabMore))) << "the language is not the file's";
    HWND const info = VisiblePage(dialog);
    ASSERT_NE(nullptr, info);
    EXPECT_NE(nullptr, GetDlgItem(info, kVersion)) << "not the file's page, Info";
    ClickButton(GetDlgItem(dialog, kTabMore));
    EXPECT_TRUE(
        WaitUntil([&] { return FileBytes(L"\\\\?\\" + ini).find("c_wnd=3\r\n") != std::string::npos; }, 2000))
        << FileBytes(L"\\\\?\\" + ini);

    HWND page = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (page = VisiblePage(dialog)) && GetDlgItem(page, kUninstall); }, 2000));
    ClickButton(GetDlgItem(page, kUninstall));
    HWND const question = WaitForWindow(L"#32770", L"Info", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, question);
    ClickButton(GetDlgItem(question, IDYES));
    HWND const box = WaitForWindow(L"#32770", L"Deinstallieren", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, box) << "uninstall said nothing";
    // The long path stands on lines of its own, broken after backslashes.
    std::wstring told = WindowText(GetDlgItem(box, 0xFFFF));
    EXPECT_EQ(0u, told.find(L"Diese Datei kann nicht gel\u00f6scht werden:\n")) << "not what";
    told.erase(std::remove(told.begin(), told.end(), L'\n'), told.end());
    EXPECT_NE(std::wstring::npos, told.find(L":" + exe)) << "not where";
    EXPECT_GT(told.size(), 42 + exe.size()) << "not why";
    RECT rect;
    GetWindowRect(box, &rect);
    EXPECT_TRUE(WaitUntilPainted(rect, 3000));
    SaveScreenshot(rect, ScreenshotDir() + L"\\uninstall_refused_long_path_de.png");
    ClickButton(GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 2000));
    EXPECT_TRUE(DrainMessages(dialog));
    EXPECT_TRUE(huepeek_.Running()) << "the program ended";
    EXPECT_TRUE(FileExists(L"\\\\?\\" + exe));
    EXPECT_FALSE(SettingsKeyExists()) << "a portable run wrote to the registry";
    huepeek_.Kill();
}

}  // namespace
}  // namespace e2e
