// The language menu of the real program as a user meets it: a click on the toolbar's "# LNG"
// button opens it, the keyboard or the mouse chooses on it, and the open dialog and the
// "Translate" box that follow are answered from here, as a person would answer them.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "files.h"
#include "harness.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

int const kLanguageButton = 2022;
int const kDonateButton = 7779;
int const kExit = 1045;
int const kToTray = 1046;
int const kTabInfo = 1088;
int const kTabMore = 1089;
int const kFrame = 32787;
int const kUsage = 1000;
int const kFileNameBox = 1148;  // the open dialog's file-name box, a ComboBoxEx32
// Reading a menu's 37 lines off the screen takes a while on a loaded machine; the wait ends as soon
// as they are all painted.
DWORD const kMenuPaintedMs = 10000;

wchar_t const kMenuClass[] = L"#32768";
DWORD const kMenuTimeoutMs = 5000;
// Written over "lng" while the program runs: it stays only if the program writes nothing.
wchar_t const kUntouched[] = L"untouched";

// The language menu as painted: its lines of text from the top, and the separator.
struct MenuLine {
    int top;
    int bottom;
    bool greyed;    // drawn in the grey of disabled items only
    bool selected;  // drawn in the selection colour, so it shows no other colour
};
struct PaintedMenu {
    std::vector<MenuLine> lines;
    std::vector<int> separatorRows;  // rows crossed by a line from side to side
};

PaintedMenu ReadPaintedMenu(HWND menu) {
    RECT rect;
    GetWindowRect(menu, &rect);
    ScreenPixels const pixels(rect);
    PaintedMenu painted;
    if (pixels.Empty()) return painted;
    COLORREF const text = GetSysColor(COLOR_MENUTEXT);
    COLORREF const background = GetSysColor(COLOR_MENU);
    COLORREF const selection = GetSysColor(COLOR_HIGHLIGHT);
    int const inner = rect.right - rect.left - 8;
    bool inLine = false;
    for (int y = rect.top + 2; y < rect.bottom - 2; ++y) {
        RECT const row = {rect.left + 4, y, rect.right - 4, y + 1};
        int const ink = inner - pixels.Count(row, background);
        int const selected = pixels.Count(row, selection);
        if (ink > inner * 9 / 10 && selected == 0) {
            painted.separatorRows.push_back(y);
            inLine = false;
        } else if (ink > 0) {
            if (!inLine) painted.lines.push_back({y, y + 1, true, false});
            MenuLine& line = painted.lines.back();
            line.bottom = y + 1;
            line.selected = line.selected || selected > 0;
            // Disabled items are drawn in a grey; any pixel in the text colour tells an enabled one.
            line.greyed = line.greyed && pixels.Count(row, text) == 0 && !line.selected;
            inLine = true;
        } else {
            inLine = false;
        }
    }
    return painted;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// A language file of the user's, in a folder whose name has a blank.
std::wstring WriteLanguageFile(const wchar_t* name, const std::vector<BYTE>& bytes) {
    std::wstring const folder = TempPath(L"Huepeek languages\\");
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring const path = folder + name;
    WriteFileBytes(path, bytes);
    return path;
}

// The text in the system's ANSI code page, as an editor without Unicode saves it; empty when the
// code page cannot hold it.
std::vector<BYTE> Ansi(const std::wstring& text) {
    BOOL lossy = FALSE;
    int const size =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, &lossy);
    std::vector<BYTE> bytes(size_t(size > 0 ? size : 0));
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), reinterpret_cast<char*>(bytes.data()),
                            size, nullptr, &lossy);
    if (lossy) bytes.clear();
    return bytes;
}

// The text of UTF-16 bytes after the byte-order mark.
std::wstring TextAfterMark(const std::vector<BYTE>& bytes) {
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += wchar_t(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

std::vector<BYTE> GoldenTemplate() {
    return ReadFileBytes(L"" HUEPEEK_SOURCE_DIR L"/tests/unit/lang/golden/translate_Huepeek.txt");
}

// The golden template without the lines of the given IDs: a translation that lacks them.
std::wstring TemplateWithout(const std::vector<int>& ids) {
    std::wstring const text = TextAfterMark(GoldenTemplate());
    std::wstring kept;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring::npos ? text.size() : end + 1;
        std::wstring const line = text.substr(start, end - start);
        bool drop = false;
        for (int id : ids) drop = drop || line.rfind(std::to_wstring(id) + L"=", 0) == 0;
        if (!drop) kept += line;
        start = end;
    }
    return kept;
}

class LanguageMenuTest : public E2eTest {
  protected:
    void TearDown() override {
        if (notepad_) PostMessageW(notepad_, WM_CLOSE, 0, 0);
        E2eTest::TearDown();
    }

    // Starts the program in a language and waits for its main dialog.
    HWND Start(const wchar_t* language) {
        if (!WriteSetting(L"lng", language) || !StartHuepeek(huepeek_, L"")) return nullptr;
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        if (dialog_ && !WaitUntil([&] { return IsWindowVisible(dialog_) != FALSE; }, 2000)) dialog_ = nullptr;
        // Wine reads the X events of the program's windows in order, and reading that of the
        // dialog's mapping raises the dialog above every other window: read only once a menu had
        // opened (a loaded machine left it waiting until the menu's loop), it put the dialog over
        // the menu. A pointer move that the toolbar shows as a hot button is read after it.
        if (dialog_ && !HoverUntilHot(kLanguageButton)) dialog_ = nullptr;
        return dialog_;
    }

    bool HoverUntilHot(int command) {
        HWND const toolbar = Toolbar(dialog_);
        RECT const button = ToolbarButtonRectOnScreen(toolbar, command);
        LRESULT const index = SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0);
        MoveCursor(1, GetSystemMetrics(SM_CYSCREEN) - 2);
        MoveCursor((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        return WaitUntil([&] { return SendMessageW(toolbar, TB_GETHOTITEM, 0, 0) == index; },
                         kStartTimeoutMs);
    }

    // Clicks the "# LNG" button, waits for the menu, and rests the pointer on the dialog beside
    // it: keys reach the menu only while the pointer rests on its owner. (The menu may open over
    // the button, and the item under the pointer then stays selected: keyboard walks start with
    // Home or End.)
    HWND OpenMenu() {
        // The program dispatches what is left from the last menu before the button is pressed.
        if (!DrainMessages(dialog_)) return nullptr;
        RECT const button = ToolbarButtonRectOnScreen(Toolbar(dialog_), kLanguageButton);
        ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        HWND const menu = WaitForWindow(kMenuClass, nullptr, huepeek_.Id(), kMenuTimeoutMs);
        if (!menu) return nullptr;
        RECT menuRect;
        GetWindowRect(menu, &menuRect);
        RECT const client = ClientRectOnScreen(dialog_);
        POINT const candidates[] = {{client.left + 20, client.top + 20},
                                    {client.right - 20, client.top + 20}};
        for (POINT at : candidates) {
            if (PtInRect(&menuRect, at)) continue;
            MoveCursor(at.x, at.y);
            break;
        }
        return menu;
    }

    static void Keys(std::initializer_list<WORD> keys) {
        // A nudge first: a window that appears under a resting pointer does not get the X focus.
        // By SetCursorPos, not by the X server: the open menu holds the X pointer, which stays
        // where it is while Wine's own record of the cursor moves, and the menu follows that.
        POINT const at = CursorPos();
        MoveCursor(at.x + 1, at.y);
        MoveCursor(at.x, at.y);
        for (WORD key : keys) PressKey(key, 60);
    }

    // True when the menu has closed; otherwise the test fails and the menu is ended, so that
    // the next step finds the program ready.
    bool MenuClosed() {
        if (WaitForNoWindow(kMenuClass, huepeek_.Id(), kMenuTimeoutMs)) return true;
        ADD_FAILURE() << "the menu stayed open";
        PostMessageW(dialog_, WM_CANCELMODE, 0, 0);
        WaitForNoWindow(kMenuClass, huepeek_.Id(), kMenuTimeoutMs);
        return false;
    }

    // Chooses the item that the keys lead to.
    bool ChooseByKeys(std::initializer_list<WORD> keys) {
        if (!OpenMenu()) return false;
        Keys(keys);
        return MenuClosed();
    }

    // "Load from File (Unicode)", the last item: waits for the open dialog.
    HWND ChooseLoadFromFile() {
        if (!ChooseByKeys({VK_END, VK_RETURN})) return nullptr;
        HWND open = nullptr;
        WaitUntil(
            [&] {
                open = FindTopWindow(L"#32770", nullptr, huepeek_.Id());
                return open && GetDlgItem(open, kFileNameBox);
            },
            kStartTimeoutMs);
        return open && GetDlgItem(open, kFileNameBox) ? open : nullptr;
    }

    // Types the path into the open dialog, clicks its open button and returns the text of the
    // "Translate" box that reports on the file, after pressing its OK. With a name, pictures of
    // the open dialog and of the report are saved under it.
    std::wstring LoadFile(const std::wstring& path, const std::wstring& screenshots = L"") {
        HWND const open = ChooseLoadFromFile();
        if (!open) return L"<no open dialog>";
        std::vector<HWND> const edits = ChildWindows(GetDlgItem(open, kFileNameBox), L"Edit");
        if (edits.empty() || !SetTextOf(edits.front(), path)) return L"<no file-name box>";
        if (!screenshots.empty()) {
            // The dialog paints its controls a while after it appears.
            EXPECT_TRUE(DrainMessages(open));
            SaveWindowShot(open, screenshots + L"_open_dialog");
        }
        ClickCentre(GetDlgItem(open, IDOK));
        HWND const box = WaitForWindow(L"#32770", L"Translate", huepeek_.Id(), kStartTimeoutMs);
        if (!box) return L"<no report>";
        EXPECT_EQ(dialog_, GetWindow(box, GW_OWNER)) << "the report is owned by the main dialog";
        std::wstring const report = WindowText(GetDlgItem(box, 0xFFFF));
        if (!screenshots.empty()) {
            EXPECT_TRUE(DrainMessages(box));
            SaveWindowShot(box, screenshots + L"_report");
        }
        ClickButton(GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kStartTimeoutMs)) << "the report stays";
        return report;
    }

    // "Translate", the second item from the bottom: the template in the temporary folder holds
    // the golden bytes, and the shell opens it with Wine's notepad, which shows its text.
    void Translate(const wchar_t* screenshot = nullptr) {
        std::wstring const path = TempPath(L"translate_Huepeek.txt");
        DeleteFileW(path.c_str());
        ASSERT_TRUE(ChooseByKeys({VK_END, VK_UP, VK_RETURN}));
        std::vector<BYTE> const golden = GoldenTemplate();
        ASSERT_GT(golden.size(), 1000u);
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(path) == golden; }, kStartTimeoutMs))
            << "the template differs from the golden file";
        WaitUntil(
            [&] {
                notepad_ = FindTopWindow(L"Notepad", nullptr, 0);
                return notepad_ && WindowText(notepad_).find(L"translate_Huepeek") != std::wstring::npos;
            },
            kStartTimeoutMs);
        ASSERT_NE(nullptr, notepad_) << "no notepad";
        EXPECT_NE(std::wstring::npos, WindowText(notepad_).find(L"translate_Huepeek"));
        std::vector<HWND> const edits = ChildWindows(notepad_, L"Edit");
        ASSERT_FALSE(edits.empty());
        std::wstring const shown = WindowText(edits.front());
        EXPECT_GT(shown.size(), 300u);
        EXPECT_EQ(TextAfterMark(golden).substr(0, shown.size()), shown);
        if (screenshot) {
            EXPECT_TRUE(DrainMessages(notepad_));
            SaveWindowShot(notepad_, screenshot);
        }
        PostMessageW(notepad_, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitForNoWindow(L"Notepad", 0, kStartTimeoutMs));
        notepad_ = nullptr;
    }

    static void SaveWindowShot(HWND window, const std::wstring& name) {
        RECT rect;
        GetWindowRect(window, &rect);
        SaveScreenshot(rect, ScreenshotDir() + L"\\" + name + L".png");
    }

    std::wstring Item(int id) const { return WindowText(GetDlgItem(dialog_, id)); }
    std::wstring PageItem(int id) const { return WindowText(GetDlgItem(VisiblePage(dialog_), id)); }
    std::wstring Donate() const { return ToolbarButtonText(Toolbar(dialog_), kDonateButton); }
    bool ExitShows(const std::wstring& text) const {
        return WaitUntil([&] { return Item(kExit) == text; }, 2000);
    }

    Process huepeek_;
    HWND dialog_ = nullptr;
    HWND notepad_ = nullptr;
};

TEST_F(LanguageMenuTest, ListsTheLanguagesGreysTheCurrentOneAndSwitchesAtOnce) {
    ASSERT_NE(nullptr, Start(L"1"));
    ASSERT_TRUE(WriteSetting(L"lng", kUntouched));

    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    // Under the button; a menu too tall for the room below it is moved up to the work area's edge.
    RECT const button = ToolbarButtonRectOnScreen(Toolbar(dialog_), kLanguageButton);
    RECT menuRect;
    GetWindowRect(menu, &menuRect);
    EXPECT_EQ(button.left, menuRect.left);
    EXPECT_TRUE(menuRect.top == button.bottom || menuRect.bottom == WorkArea().bottom)
        << menuRect.top << " to " << menuRect.bottom << ", work area to " << WorkArea().bottom;
    PaintedMenu painted;
    WaitUntil([&] { return (painted = ReadPaintedMenu(menu)).lines.size() == 37; }, kMenuPaintedMs);
    EXPECT_TRUE(SendMessageW(Toolbar(dialog_), TB_ISBUTTONPRESSED, kLanguageButton, 0))
        << "not shown pressed";
    SaveScreenshot({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                   ScreenshotDir() + L"\\language_menu_open.png");
    // 35 languages (the shipped archive's last slot has no name), "Translate" and "Load from File".
    ASSERT_EQ(37u, painted.lines.size());
    ASSERT_FALSE(painted.lines[1].selected) << "the pointer rests on English";
    for (size_t i = 0; i < painted.lines.size(); ++i) {
        if (painted.lines[i].selected) continue;
        EXPECT_EQ(i == 1, painted.lines[i].greyed) << "only English, the current language, is greyed: " << i;
    }
    ASSERT_FALSE(painted.separatorRows.empty()) << "no separator";
    EXPECT_GT(painted.separatorRows.front(), painted.lines[34].bottom);
    EXPECT_LT(painted.separatorRows.back(), painted.lines[35].top) << "the separator after the languages";

    // Dismissed with Escape or by a click beside it: nothing is written.
    Keys({VK_ESCAPE});
    ASSERT_TRUE(MenuClosed());
    EXPECT_FALSE(SendMessageW(Toolbar(dialog_), TB_ISBUTTONPRESSED, kLanguageButton, 0)) << "left pressed";
    ASSERT_NE(nullptr, OpenMenu());
    Click();
    ASSERT_TRUE(MenuClosed());
    // The greyed English, reached by the keyboard, cannot be chosen.
    ASSERT_TRUE(ChooseByKeys({VK_HOME, VK_DOWN, VK_RETURN}));
    ASSERT_TRUE(DrainMessages(dialog_));
    EXPECT_EQ(kUntouched, StoredSetting(L"lng"));
    EXPECT_EQ(L"E&xit", Item(kExit));

    // The last language, above "Load from File" and "Translate" (the separator is passed over).
    ASSERT_TRUE(ChooseByKeys({VK_END, VK_UP, VK_UP, VK_RETURN}));
    EXPECT_TRUE(ExitShows(L"&Izlaz")) << "Bosnian";
    EXPECT_EQ(L"34", StoredSetting(L"lng"));

    // German with the mouse, on the first line; now Bosnian is the greyed one.
    menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    WaitUntil([&] { return (painted = ReadPaintedMenu(menu)).lines.size() == 37; }, kMenuPaintedMs);
    ASSERT_EQ(37u, painted.lines.size());
    ASSERT_FALSE(painted.lines[34].selected);
    for (size_t i = 0; i < painted.lines.size(); ++i) {
        if (painted.lines[i].selected) continue;
        EXPECT_EQ(i == 34, painted.lines[i].greyed) << i;
    }
    GetWindowRect(menu, &menuRect);
    MoveCursor(menuRect.left + 40, (painted.lines[0].top + painted.lines[0].bottom) / 2);
    Click();
    ASSERT_TRUE(MenuClosed());
    EXPECT_TRUE(ExitShows(L"&Beenden"));
    EXPECT_EQ(L"0", StoredSetting(L"lng"));
    EXPECT_EQ(L"# Spenden", Donate());
    EXPECT_EQ(L"# LNG", ToolbarButtonText(Toolbar(dialog_), kLanguageButton));
    EXPECT_EQ(L"&Mehr", Item(kTabMore));
    EXPECT_EQ(L"Ins &Tray", Item(kToTray));
    EXPECT_EQ(L"Programm", Item(kFrame));
    EXPECT_EQ(0u, PageItem(kUsage).find(L"Klicken Sie")) << "the page's texts follow too";
    MoveCursor(1, GetSystemMetrics(SM_CYSCREEN) - 2);
    ASSERT_TRUE(DrainMessages(dialog_));
    SaveWindowShot(dialog_, L"language_menu_german_dialog");
}

TEST_F(LanguageMenuTest, TranslateWritesTheTemplateTheShellOpensItAndItLoadsBackAsEnglish) {
    ASSERT_NE(nullptr, Start(L"0"));
    ASSERT_TRUE(WriteSetting(L"lng", kUntouched));

    Translate(L"translation_template_in_notepad");
    EXPECT_EQ(L"0", StoredSetting(L"lng")) << "the unchanged language is stored";
    EXPECT_EQ(L"&Beenden", Item(kExit)) << "the language stays";

    // Loaded back unchanged, it is complete and shows the English texts.
    ASSERT_TRUE(WriteSetting(L"lng", kUntouched));
    EXPECT_EQ(L"100 %", LoadFile(TempPath(L"translate_Huepeek.txt")));
    EXPECT_TRUE(ExitShows(L"E&xit"));
    EXPECT_EQ(L"# Donate", Donate());
    EXPECT_EQ(L"&More", Item(kTabMore));
    EXPECT_EQ(0u, PageItem(kUsage).find(L"Press the \"? Pixel ?\" button"));
    EXPECT_EQ(L"0", StoredSetting(L"lng")) << "the file leaves the built-in language stored";
}

TEST_F(LanguageMenuTest, LanguageFilesLoadThroughTheOpenDialogUntilALanguageIsChosen) {
    ASSERT_NE(nullptr, Start(L"1"));

    // A UTF-16 file with the byte-order mark that lacks twelve of the English IDs.
    std::wstring path =
        WriteLanguageFile(L"twelve missing.txt",
                          Utf16WithMark(TemplateWithout({20, 21, 22, 25, 26, 27, 28, 30, 31, 51, 55, 62})));
    std::wstring report = LoadFile(path, L"language_file");
    // 33 of the 45 English texts.
    EXPECT_EQ(
        L"73 %\n\nmiss:\n20=E&xit\n21=Cancel\n22=Lisense\n25=Donate\n26=Program\n27=&Info\n28=&More\n"
        L"30=Start with &Windows\n31=&Always start minimized\n...and...\n51,55,62,",
        report);
    EXPECT_TRUE(ExitShows(L"str:20?"));
    EXPECT_EQ(L"str:51?", Item(kToTray));
    EXPECT_EQ(L"# str:25?", Donate());
    EXPECT_EQ(L"str:26?", Item(kFrame));
    EXPECT_EQ(0u, PageItem(kUsage).find(L"Press the \"? Pixel ?\" button")) << "a text the file has";
    SaveWindowShot(dialog_, L"language_file_missing_texts");

    // An ANSI file without the mark, in the system's code page.
    std::vector<BYTE> const ansi =
        Ansi(L"TranslatorName=Ein \u00DCbersetzer\r\n20=Schlie\u00DFen\n27=\u00DCber\r\n");
    ASSERT_FALSE(ansi.empty()) << "the code page " << GetACP() << " cannot hold the test's text";
    ASSERT_NE(0xFF, ansi[0]);
    report = LoadFile(WriteLanguageFile(L"ansi.txt", ansi));
    EXPECT_EQ(0u, report.find(L"6 %\n\nmiss:\n21=Cancel\n22=Lisense\n25=Donate\n")) << "3 of 45";
    EXPECT_TRUE(ExitShows(L"Schlie\u00DFen"));
    EXPECT_EQ(L"\u00DCber", Item(kTabInfo));
    EXPECT_EQ(L"str:51?", Item(kToTray)) << "the new file replaces the last one whole";

    // Cancelling the open dialog keeps the file in force.
    HWND const open = ChooseLoadFromFile();
    ASSERT_NE(nullptr, open);
    ClickCentre(GetDlgItem(open, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(open); }, kStartTimeoutMs));
    ASSERT_TRUE(DrainMessages(dialog_));
    EXPECT_EQ(nullptr, FindWindowW(nullptr, L"Translate")) << "a report without a file";
    EXPECT_EQ(L"Schlie\u00DFen", Item(kExit));

    // Saved as UTF-8, as most editors save it: with the byte-order mark the first line keeps its
    // ID; without it the bytes alone say UTF-8. Lines may end in a carriage return alone.
    std::string const utf8 =
        "20=\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4\r\nTranslatorName=\xC3\x9C\r27=\xC3\x9C"
        "ber\r\n";
    for (std::string const& bytes : {"\xEF\xBB\xBF" + utf8, utf8}) {
        report = LoadFile(WriteLanguageFile(L"utf-8.txt", std::vector<BYTE>(bytes.begin(), bytes.end())));
        EXPECT_EQ(0u, report.find(L"6 %\n\nmiss:\n21=Cancel\n")) << "3 of 45, mark " << (bytes[0] != '2');
        EXPECT_TRUE(ExitShows(L"\u0412\u044B\u0445\u043E\u0434"));
        EXPECT_EQ(L"\u00DCber", Item(kTabInfo));
    }

    // An empty file is refused with the reason; the file in force stays.
    path = WriteLanguageFile(L"empty.txt", {});
    EXPECT_EQ(L"This language file is empty:\n\n" + path, LoadFile(path, L"language_file_empty"));
    EXPECT_EQ(L"\u0412\u044B\u0445\u043E\u0434", Item(kExit));

    // "20=" counts as missing but shows an empty caption.
    report = LoadFile(WriteLanguageFile(L"empty exit.txt", Utf16WithMark(L"20=\r\n51=Vers la barre\r\n")));
    EXPECT_EQ(
        0u, report.find(L"2 %\n\nmiss:\n0=https://www.vantorel.com/?seite=translate\n20=E&xit\n21=Cancel\n"))
        << "1 of 45";
    EXPECT_TRUE(ExitShows(L""));
    EXPECT_EQ(L"Vers la barre", Item(kToTray));

    // A file without a single text.
    report = LoadFile(WriteLanguageFile(L"nothing.txt", Utf16WithMark(L"Nothing to translate here\r\n")));
    EXPECT_EQ(
        L"0 %\n\nmiss:\n0=https://www.vantorel.com/?seite=translate\n20=E&xit\n21=Cancel\n22=Lisense\n"
        L"25=Donate\n26=Program\n27=&Info\n28=&More\n30=Start with &Windows\n...and...\n"
        L"31,40,41,42,43,44,45,46,47,51,52,53,54,55,56,60,61,62,90,91,92,93,94,95,96,97,100,101,110,111,112,"
        L"113,130,131,132,133,",
        report);
    EXPECT_TRUE(ExitShows(L"str:20?"));
    EXPECT_EQ(L"str:51?", Item(kToTray));
    EXPECT_EQ(L"1", StoredSetting(L"lng")) << "files leave the built-in language stored";

    // The template is English whatever file is in force.
    Translate();

    // German, the first item: the file is gone, every text is German again.
    ASSERT_TRUE(ChooseByKeys({VK_HOME, VK_RETURN}));
    EXPECT_TRUE(ExitShows(L"&Beenden"));
    EXPECT_EQ(L"Ins &Tray", Item(kToTray));
    EXPECT_EQ(L"# Spenden", Donate());
    EXPECT_EQ(L"0", StoredSetting(L"lng"));
}

// A temporary folder whose path leaves no room for the template's name: "Translate" says so in the
// current language, names the folder, and opens nothing at all (not the folder, not an older
// template).
TEST_F(LanguageMenuTest, TranslateThatCannotWriteTheTemplateSaysSoAndOpensNothing) {
    ScratchFolder const root(L"huepeek long temp");
    std::wstring folder = DeepFolder(root.Path(), 190);
    // 245 characters and the backslash: room for the folder, none for "translate_Huepeek.txt".
    folder += L"\\" + std::wstring(244 - folder.size(), L't');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ScopedEnvironment const temp(L"TMP", (folder + L"\\").c_str());
    ASSERT_NE(nullptr, Start(L"1"));
    DWORD const started = huepeek_.StartedProcesses();
    ASSERT_NE(0u, started);
    ASSERT_TRUE(ChooseByKeys({VK_END, VK_UP, VK_RETURN}));
    HWND const box = WaitForWindow(L"#32770", L"Translate", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, box) << "a template that cannot be written is not told";
    // The long path stands on lines of its own, broken after backslashes.
    std::wstring told = WindowText(GetDlgItem(box, 0xFFFF));
    EXPECT_EQ(0u, told.find(L"This file cannot be written:\n")) << "not what";
    told.erase(std::remove(told.begin(), told.end(), L'\n'), told.end());
    EXPECT_NE(std::wstring::npos, told.find(L":" + folder + L"\\")) << "not where";
    EXPECT_GT(told.size(), 30 + folder.size()) << "not why";
    RECT rect;
    GetWindowRect(box, &rect);
    EXPECT_TRUE(WaitUntilPainted(rect, 3000));
    SaveWindowShot(box, L"translate_not_written");
    ClickButton(GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kStartTimeoutMs)) << "the message stays";
    ASSERT_TRUE(DrainMessages(dialog_));
    EXPECT_EQ(started, huepeek_.StartedProcesses()) << "the shell was asked to open something";
    EXPECT_EQ(nullptr, FindTopWindow(L"Notepad", nullptr, 0));
}

}  // namespace
}  // namespace e2e
