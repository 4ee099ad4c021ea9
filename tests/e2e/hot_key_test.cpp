// The resident program's global hot key and the picker's own keys, with real input: the hot key as
// the X server delivers it (xdotool), the picker's keys and the picker page's field through
// SendInput, and what they do read back from the windows, the clipboard and the registry.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog_driver.h"
#include "harness.h"
#include "pattern_grid.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
wchar_t const kPatternClass[] = L"HuepeekTestPattern";
int const kHotKeyField = 1111;
int const kWinBox = 1112;
int const kHotKeyNote = 1113;
int const kExitButton = 1045;
// HOTKEYF_SHIFT and HOTKEYF_ALT of the field's value.
BYTE const kFieldShift = 0x01;
BYTE const kFieldAlt = 0x04;

// Clear of the main dialog, in the middle of the screen. Keys go to the X window under the pointer,
// and the pattern's own process takes them in (this test's thread does not pump messages while it
// waits).
Grid const kGrid = {40, 40, 200, 200};
POINT const kStart = {140, 140};

bool At(POINT p) {
    POINT const now = CursorPos();
    return now.x == p.x && now.y == p.y;
}

class HotKeyTest : public E2eTest {
  protected:
    // The grid, then the program with its main dialog shown; the pointer over the grid.
    void Start(const wchar_t* storedHotKey) {
        ASSERT_TRUE(patterns_.Start(TestProgramDir() + L"\\pattern_window.exe", kGrid.Arguments()));
        ASSERT_TRUE(WaitUntil([] { return kGrid.OnScreen(); }, kStartTimeoutMs)) << "the grid did not appear";
        WriteSetting(L"lng", L"1");
        if (storedHotKey) WriteSetting(L"hotkey", storedHotKey);
        ASSERT_TRUE(StartHuepeek(huepeek_, L""));
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog_);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog_) != FALSE; }, kStartTimeoutMs));
        ASSERT_TRUE(WaitUntil([&] { return (host_ = FindWindowW(L"Huepeek", L"Huepeek")) != nullptr; },
                              kStartTimeoutMs));
        page_ = VisiblePage(dialog_);
        ASSERT_NE(nullptr, page_);
        MoveCursor(kStart.x, kStart.y);
    }

    // Presses keys with xdotool, which then moves the pointer to `then`: once it is there the keys
    // have been sent. Then every window the keys may have reached has taken them in.
    void XKeys(const wchar_t* keys, POINT then) {
        ASSERT_TRUE(Xdotool(std::wstring(L"key ") + keys + L" mousemove " + std::to_wstring(then.x) + L" " +
                            std::to_wstring(then.y)))
            << "no xdotool";
        ASSERT_TRUE(WaitUntil([&] { return At(then); }, kStartTimeoutMs)) << "xdotool did not finish";
        for (HWND window : {FindTopWindow(kPatternClass, nullptr, patterns_.Id()), host_}) {
            if (window) {
                EXPECT_TRUE(DrainMessages(window));
            }
        }
    }

    HWND Picker(DWORD timeoutMs = kStartTimeoutMs) {
        return WaitForWindow(kPickerClass, L"", huepeek_.Id(), timeoutMs);
    }

    WORD Field() { return WORD(SendMessageW(GetDlgItem(page_, kHotKeyField), HKM_GETHOTKEY, 0, 0)); }

    HWND Note() { return GetDlgItem(page_, kHotKeyNote); }

    Process huepeek_;
    Process patterns_;
    HWND dialog_ = nullptr;
    HWND host_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(HotKeyTest, WinShiftCOpensThePickerWhoseArrowKeysMoveTheCursorOnePixel) {
    Start(nullptr);
    EXPECT_EQ(MAKEWORD('C', kFieldShift), Field()) << "the field shows Win+Shift+C without its Win";
    EXPECT_TRUE(IsChecked(GetDlgItem(page_, kWinBox)));
    EXPECT_FALSE(IsWindowVisible(Note()));

    POINT const opened = {kStart.x + 2, kStart.y};
    XKeys(L"super+shift+c", opened);
    HWND const picker = Picker();
    ASSERT_NE(nullptr, picker) << "the hot key did not open the picker";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog_); }, 2000)) << "the dialog stays shown";

    // The picker appeared under the resting pointer: a nudge gives it the X focus.
    EXPECT_TRUE(NudgeCursor(opened)) << "the pointer did not come back";
    struct Step {
        WORD key;
        POINT then;
    } const steps[] = {
        {VK_RIGHT, {opened.x + 1, opened.y}},    {VK_DOWN, {opened.x + 1, opened.y + 1}},
        {VK_DOWN, {opened.x + 1, opened.y + 2}}, {VK_LEFT, {opened.x, opened.y + 2}},
        {VK_UP, {opened.x, opened.y + 1}},
    };
    for (const Step& step : steps) {
        PressKey(step.key);
        EXPECT_TRUE(WaitUntil([&] { return At(step.then); }, 2000))
            << "key " << step.key << ": the cursor is at " << CursorPos().x << "," << CursorPos().y;
    }

    // Pressed again while the picker is open, the hot key changes nothing: the picker keeps the
    // snapshot it opened with, though the grid has gone from the screen meanwhile.
    patterns_.Kill();
    ASSERT_TRUE(WaitForNoWindow(kPatternClass, 0, kExitTimeoutMs));
    POINT const last = {opened.x + 3, opened.y + 1};
    XKeys(L"super+shift+c", last);
    EXPECT_EQ(picker, Picker(0));
    ASSERT_TRUE(ClearClipboard());
    PressKey('1');
    EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_.Id(), 2000));
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(HexText(kGrid.ColourAt(last.x, last.y)), text) << "the pixel under the nudged cursor";
}

// "hotkey" = 0 gives none; another valid value gives that combination alone.
TEST_F(HotKeyTest, StoredSettingChoosesTheCombination) {
    Start(L"0");
    EXPECT_EQ(0, Field());
    EXPECT_FALSE(IsChecked(GetDlgItem(page_, kWinBox)));
    XKeys(L"super+shift+c", {kStart.x + 1, kStart.y});
    EXPECT_EQ(nullptr, Picker(0)) << "no hot key, yet the picker opened";
    EXPECT_TRUE(IsWindowVisible(dialog_));
    EXPECT_EQ(L"0", StoredSetting(L"hotkey"));

    huepeek_.Kill();
    patterns_.Kill();
    ASSERT_TRUE(WaitForNoWindow(kPatternClass, 0, kExitTimeoutMs));
    Start(L"1360");  // Alt+Shift+P
    EXPECT_EQ(MAKEWORD('P', kFieldAlt | kFieldShift), Field());
    XKeys(L"super+shift+c", {kStart.x + 1, kStart.y});
    EXPECT_EQ(nullptr, Picker(0)) << "the default is not registered beside the stored one";
    XKeys(L"alt+shift+p", {kStart.x + 2, kStart.y});
    EXPECT_NE(nullptr, Picker()) << "Alt+Shift+P did not open the picker";
    EXPECT_EQ(L"1360", StoredSetting(L"hotkey"));
}

// Another program holds Win+Shift+C: the picker page names it; once it is free, the user chooses
// it again in the field and it is registered and stored at once. An empty field turns the hot key
// off, and at exit the program leaves the combination free.
TEST_F(HotKeyTest, TakenCombinationIsNamedUntilChosenAnewAndFreeAfterExit) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_WIN | MOD_SHIFT, 'C')) << "Win+Shift+C is held already";
    Start(nullptr);
    EXPECT_TRUE(IsWindowVisible(Note()));
    EXPECT_EQ(L"Win+Shift+C is in use by another program.", WindowText(Note()));
    EXPECT_EQ(MAKEWORD('C', kFieldShift), Field()) << "the field shows the combination all the same";
    EXPECT_FALSE(SettingExists(L"hotkey")) << "the store is left as it was";
    RECT shot = {};
    GetWindowRect(dialog_, &shot);
    EXPECT_TRUE(SaveScreenshot(shot, ScreenshotDir() + L"\\hot_key_taken.png"));
    ASSERT_TRUE(UnregisterHotKey(nullptr, 1));

    // Into the field, Shift+C: with the Win box ticked that is Win+Shift+C again.
    HWND const field = GetDlgItem(page_, kHotKeyField);
    ClickCentre(field);
    SendKeyEvent(VK_SHIFT, false);
    PressKey('C');
    SendKeyEvent(VK_SHIFT, true);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(Note()); }, 2000)) << "the note stays";
    EXPECT_EQ(L"3139", StoredSetting(L"hotkey"));
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_WIN | MOD_SHIFT, 'C')) << "not registered again";

    // The Win box off: Ctrl+Alt+Shift+C, as the field has no key with Shift alone.
    ClickCentre(GetDlgItem(page_, kWinBox));
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"hotkey") == L"1859"; }, 2000))
        << StoredSetting(L"hotkey");  // (2 | 1 | 4) << 8 | 'C'
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_WIN | MOD_SHIFT, 'C')) << "Win+Shift+C was not let go";
    ASSERT_TRUE(UnregisterHotKey(nullptr, 1));

    // Backspace empties the field: no hot key.
    ClickCentre(field);
    PressKey(VK_BACK);
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"hotkey") == L"0"; }, 2000))
        << StoredSetting(L"hotkey");
    EXPECT_EQ(0, Field());
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'C')) << "still registered";
    ASSERT_TRUE(UnregisterHotKey(nullptr, 1));

    // Win+Shift+C again, then Exit: the program lets it go.
    ClickCentre(GetDlgItem(page_, kWinBox));
    ClickCentre(field);
    SendKeyEvent(VK_SHIFT, false);
    PressKey('C');
    SendKeyEvent(VK_SHIFT, true);
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"hotkey") == L"3139"; }, 2000))
        << StoredSetting(L"hotkey");
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_WIN | MOD_SHIFT, 'C'));
    Command(dialog_, kExitButton);
    DWORD code = 0;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_WIN | MOD_SHIFT, 'C')) << "still held after exit";
    UnregisterHotKey(nullptr, 1);
}

}  // namespace
}  // namespace e2e
