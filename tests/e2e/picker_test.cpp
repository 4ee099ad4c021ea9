// The picker in direct picker mode ("huepeek" on the command line), driven as a user would.
#include <string>

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

// A folder under the temporary folder, made afresh, however long its path ("\\?\" lifts the limit
// of 260 characters).
std::wstring FreshTempFolder(const std::wstring& relative) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = temp;
    path.pop_back();  // the trailing backslash
    size_t start = 0;
    while (start <= relative.size()) {
        size_t const end = relative.find(L'\\', start);
        path += L"\\" + relative.substr(start, end - start);
        CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return path;
}

// The module file of a process, as the system knows it.
std::wstring ProcessImage(DWORD processId) {
    HANDLE const process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return L"<no process>";
    std::wstring path(32768, L'\0');
    DWORD chars = DWORD(path.size());
    if (!QueryFullProcessImageNameW(process, 0, &path[0], &chars)) chars = 0;
    CloseHandle(process);
    path.resize(chars);
    return path;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class PickerTest : public E2eTest {
  protected:
    // Starts direct picker mode with the cursor at (x, y) and waits for the picker.
    HWND StartPicker(int x, int y, const std::wstring& exe = HuepeekPath()) {
        MoveCursor(x, y);
        EXPECT_TRUE(huepeek_.Start(exe, L"huepeek"));
        HWND const picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs);
        EXPECT_NE(nullptr, picker) << "no picker window";
        // Without a window manager X focus follows the pointer, and a window that appears under a
        // resting pointer does not get it: nudge the pointer so keys reach the picker.
        EXPECT_TRUE(NudgeCursor({x, y})) << "the pointer did not come back";
        return picker;
    }

    // A window of solid colour 10,200,30 round (640, 400), seen on the screen.
    void ShowPattern() {
        ASSERT_TRUE(
            pattern_.Start(TestProgramDir() + L"\\pattern_window.exe", L"solid 540 300 200 200 0AC81E"));
        ASSERT_TRUE(WaitUntil(
            [] {
                HDC const screen = GetDC(nullptr);
                COLORREF const shown = GetPixel(screen, 640, 400);
                ReleaseDC(nullptr, screen);
                return shown == RGB(10, 200, 30);
            },
            kStartTimeoutMs))
            << "the pattern did not appear";
    }

    // Takes the colour in a picker over the pattern: the picker ends with 45054 and the colour is
    // stored.
    enum class Take { kLeftClick, kRightClick, kEnter };
    void TakeOverThePattern(Take how = Take::kLeftClick) {
        if (how == Take::kEnter)
            PressKey(VK_RETURN);
        else
            Click(how == Take::kRightClick);
        DWORD code = 0;
        ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
        EXPECT_EQ(DWORD(45054), code);
        std::wstring stored;
        EXPECT_TRUE(ReadSetting(L"last_rgb_color", &stored));
        EXPECT_EQ(std::to_wstring(10 | 200 << 8 | 30 << 16), stored);
    }

    DWORD EscAndWaitExit() {
        EXPECT_TRUE(HoldKeyUntil(
            VK_ESCAPE, [&] { return !huepeek_.Running(); }, kExitTimeoutMs))
            << "still running after Esc";
        DWORD code = 0;
        huepeek_.WaitExit(0, &code);
        return code;
    }

    Process huepeek_;
    Process pattern_;
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
    // Near the corner the window stays on the screen.
    MoveCursor(0, 0);
    EXPECT_TRUE(WaitUntil([&] { return RectIs(picker, 0, 0, 384, 256); }, 2000));
    EXPECT_EQ(DWORD(45054), EscAndWaitExit());
}

TEST_F(PickerTest, EscEndsDirectPickerModeWith45054) {
    ASSERT_NE(nullptr, StartPicker(640, 400));
    EXPECT_EQ(DWORD(45054), EscAndWaitExit());
}

// A click (or Enter) over a known colour stores it and starts a second process with exactly the
// palette argument: only that whole command line opens the colour dialog (with anything else the
// new process would be a second instance or a picker).
TEST_F(PickerTest, ClickStoresTheColourAndOpensTheColourDialogOnIt) {
    ShowPattern();
    struct {
        Take how;
        const char* name;
    } const ways[] = {
        {Take::kLeftClick, "left button"}, {Take::kRightClick, "right button"}, {Take::kEnter, "Enter"}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NE(nullptr, StartPicker(640, 400));
        TakeOverThePattern(way.how);

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

// Wherever the program runs from, its click opens the colour dialog in a copy of the same file: in
// a folder named like an environment variable, and down a path longer than 260 characters.
TEST_F(PickerTest, ClickOpensTheColourDialogFromAnyFolder) {
    std::wstring deep = L"huepeek-long";
    while (deep.size() < 300) deep += L"\\" + std::wstring(40, wchar_t(L'a' + deep.size() % 26));
    const wchar_t* const folders[] = {L"huepeek-a%PATH%b", deep.c_str()};
    ShowPattern();
    for (const wchar_t* folder : folders) {
        std::wstring const exe = FreshTempFolder(folder) + L"\\huepeek.exe";
        SCOPED_TRACE(testing::Message() << exe.size() << " characters: " << Narrow(exe));
        ASSERT_TRUE(CopyFileW(HuepeekPath().c_str(), (L"\\\\?\\" + exe).c_str(), FALSE));
        if (exe.size() < MAX_PATH) {
            ASSERT_NE(nullptr, StartPicker(640, 400, exe));
        } else {
            MoveCursor(640, 400);
            ASSERT_TRUE(StartThroughWineLoader(exe, L"huepeek")) << "no wine command";
            HWND const picker = WaitForWindow(kPickerClass, L"", 0, kStartTimeoutMs);
            ASSERT_NE(nullptr, picker) << "no picker window";
            DWORD id = 0;
            GetWindowThreadProcessId(picker, &id);
            ASSERT_TRUE(huepeek_.Attach(id));
            ASSERT_EQ(0, lstrcmpiW(exe.c_str(), ProcessImage(id).c_str())) << Narrow(ProcessImage(id));
            MoveCursor(641, 400);
            MoveCursor(640, 400);
        }
        TakeOverThePattern();

        HWND const dialog = WaitForWindow(L"#32770", nullptr, 0, kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog) << "no colour dialog";
        DWORD paletteProcess = 0;
        GetWindowThreadProcessId(dialog, &paletteProcess);
        EXPECT_EQ(L"200", WindowText(GetDlgItem(dialog, 707)));
        // The same file, though perhaps by its short name.
        std::wstring const image = ProcessImage(paletteProcess);
        std::wstring longImage(32768, L'\0');
        longImage.resize(GetLongPathNameW(image.c_str(), &longImage[0], DWORD(longImage.size())));
        EXPECT_EQ(0, lstrcmpiW(exe.c_str(), longImage.c_str())) << Narrow(image);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitForNoWindow(L"#32770", paletteProcess, kExitTimeoutMs));
    }
}

// The exe is moved away while the picker runs: the colour is still stored, and instead of nothing
// the user is told that the colour dialog could not be started, and from where.
TEST_F(PickerTest, ClickThatCannotStartTheColourDialogSaysSo) {
    std::wstring const folder = FreshTempFolder(L"huepeek-moved");
    std::wstring const exe = folder + L"\\huepeek.exe";
    std::wstring const moved = folder + L"\\huepeek-moved.exe";
    DeleteFileW(moved.c_str());
    ASSERT_TRUE(CopyFileW(HuepeekPath().c_str(), exe.c_str(), FALSE));
    ShowPattern();
    ASSERT_NE(nullptr, StartPicker(640, 400, exe));
    ASSERT_TRUE(MoveFileW(exe.c_str(), moved.c_str())) << "a running exe cannot be moved here";

    Click();
    HWND const box = WaitForWindow(L"#32770", L"Error!", huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, box) << "no message";
    std::wstring texts;
    for (HWND child : ChildWindows(box, L"Static")) texts += WindowText(child) + L"\n";
    EXPECT_NE(std::wstring::npos, texts.find(L"The colour dialog could not be started.")) << Narrow(texts);
    EXPECT_NE(std::wstring::npos, texts.find(exe)) << Narrow(texts);
    std::wstring stored;
    EXPECT_TRUE(ReadSetting(L"last_rgb_color", &stored));
    EXPECT_EQ(std::to_wstring(10 | 200 << 8 | 30 << 16), stored);
    RECT boxRect = {};
    GetWindowRect(box, &boxRect);
    EXPECT_TRUE(SaveScreenshot(boxRect, ScreenshotDir() + L"\\palette_not_started.png"));

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(45054), code);
    EXPECT_EQ(nullptr, FindTopWindow(L"#32770", nullptr, 0)) << "a colour dialog opened after all";
    DeleteFileW(moved.c_str());
}

}  // namespace
}  // namespace e2e
