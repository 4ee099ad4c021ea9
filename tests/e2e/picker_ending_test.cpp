// Ending the picker in every way a user or another program can: Alt+F4 and a close request end it
// as Esc does (in direct picker mode they end the process with its exit code), and the picker
// opens again afterwards; the presses that take the colour start one colour dialog, and the second
// press of a double click on the tray icon takes nothing.
#include "dialog_driver.h"
#include "harness.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
UINT const kTrayCallback = WM_APP + 100;
UINT const kIconId = 107;
POINT const kAt = {640, 400};

// A window that appears under a resting pointer gets no X focus: a nudge gives it.
void NudgePointer() {
    EXPECT_TRUE(NudgeCursor(kAt)) << "the pointer did not come back";
}

void PressAltF4() {
    SendKeyEvent(VK_MENU, false);
    PressKey(VK_F4);
    SendKeyEvent(VK_MENU, true);
}

class PickerEndingTest : public E2eTest {
  protected:
    HWND WaitForPicker() { return WaitForWindow(kPickerClass, L"", huepeek_.Id(), kStartTimeoutMs); }

    Process huepeek_;
};

TEST_F(PickerEndingTest, AltF4EndsDirectPickerModeWithItsExitCodeAndFreesTheNextStart) {
    MoveCursor(kAt.x, kAt.y);
    ASSERT_TRUE(StartHuepeek(huepeek_, L"huepeek"));
    ASSERT_NE(nullptr, WaitForPicker());
    NudgePointer();
    PressAltF4();
    DWORD code = 0;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "the process stays after Alt+F4";
    EXPECT_EQ(DWORD(45054), code);

    ASSERT_TRUE(StartHuepeek(huepeek_, L"huepeek"));
    ASSERT_NE(nullptr, WaitForPicker()) << "the next start shows no picker";
    NudgePointer();
    ASSERT_TRUE(HoldKeyUntil(
        VK_ESCAPE, [&] { return !huepeek_.Running(); }, kExitTimeoutMs));
    ASSERT_TRUE(huepeek_.WaitExit(0, &code));
    EXPECT_EQ(DWORD(45054), code);
}

// In the resident program, Alt+F4 and another program's close request only hide the picker: the
// tray icon opens it again, as often as the user likes.
TEST_F(PickerEndingTest, ClosedPickerOfTheResidentProgramOpensAgain) {
    MoveCursor(kAt.x, kAt.y);
    ASSERT_TRUE(StartHuepeek(huepeek_, L"-bg"));
    HWND host = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (host = FindWindowW(L"Huepeek", L"Huepeek")) != nullptr; }, kStartTimeoutMs));
    struct {
        const char* name;
        void (*close)(HWND picker);
    } const ways[] = {
        {"Alt+F4", [](HWND) { PressAltF4(); }},
        {"WM_CLOSE", [](HWND picker) { PostMessageW(picker, WM_CLOSE, 0, 0); }},
        {"SC_CLOSE", [](HWND picker) { PostMessageW(picker, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Esc",
         [](HWND picker) {
             HoldKeyUntil(
                 VK_ESCAPE, [picker] { return !IsWindowVisible(picker); }, 2000);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(Deliver(host, kTrayCallback, kIconId, WM_LBUTTONDOWN));
        HWND const picker = WaitForPicker();
        ASSERT_NE(nullptr, picker) << "the picker did not open (again)";
        NudgePointer();
        way.close(picker);
        EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_.Id(), 2000)) << "still shown";
        EXPECT_TRUE(IsWindow(picker)) << "the window went";
        EXPECT_TRUE(DrainMessages(host)) << "the program ended";
    }
}

HWND ColourDialogOfAnotherProcess(DWORD notThisOne, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow(L"#32770", nullptr, 0);
            DWORD owner = 0;
            if (found) GetWindowThreadProcessId(found, &owner);
            return found && owner != notThisOne;
        },
        timeoutMs);
    return found;
}

// The system's double-click time for the programs started while it lives, the earlier one again
// at the end. (A program reads it once: a change reaches only programs started after it.)
class DoubleClickTime {
  public:
    explicit DoubleClickTime(UINT ms) : earlier_(GetDoubleClickTime()) {
        set_ = SetDoubleClickTime(ms) != FALSE;
    }
    ~DoubleClickTime() { SetDoubleClickTime(earlier_); }
    bool Set() const { return set_; }

  private:
    UINT earlier_;
    bool set_ = false;
};

// The first press of a double click on the tray icon opens the picker under the pointer; the
// second lands on it and takes nothing. A click once the double-click time is over takes the colour.
TEST_F(PickerEndingTest, DoubleClickOnTheTrayIconOpensThePickerWithoutTakingAColour) {
    // The second press follows once this test has seen the picker, which on a loaded machine can
    // take longer than the usual half second: with more time the press still belongs to the double
    // click however slowly this test comes round to it.
    DoubleClickTime const doubleClickTime(1500);
    ASSERT_TRUE(doubleClickTime.Set());
    ASSERT_TRUE(StartHuepeek(huepeek_, L"-bg"));
    HWND tray = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (tray = FindWindowW(L"__winex11_standalone_tray", nullptr)) != nullptr; },
                  kStartTimeoutMs))
        << "no notification area";
    // The first place of the client area. An icon left there by a program that was ended from
    // outside goes when it is clicked, and ours moves up.
    RECT const area = ClientRectOnScreen(tray);
    int const half = GetSystemMetrics(SM_CXSMICON) / 2;
    HWND picker = nullptr;
    for (int attempt = 0; attempt < 4 && !picker; ++attempt) {
        ClickAt(area.left + half + 2, area.top + half + 2);
        picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), 1500);
    }
    ASSERT_NE(nullptr, picker) << "the click did not reach the program";
    Click();
    ASSERT_TRUE(DrainMessages(picker));
    EXPECT_TRUE(IsWindowVisible(picker)) << "the second press took the colour";
    EXPECT_EQ(nullptr, ColourDialogOfAnotherProcess(huepeek_.Id(), 0));
    EXPECT_EQ(1, CountProcesses(L"huepeek.exe"));

    // A click after the double-click time, which only passing time ends.
    Sleep(GetDoubleClickTime());
    Click();
    HWND const dialog = ColourDialogOfAnotherProcess(huepeek_.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, dialog) << "a later click did not take the colour";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return CountProcesses(L"huepeek.exe") == 1; }, kExitTimeoutMs));
}

// A press and a key repeat queued behind the press that takes the colour find the picker ended: one
// picker starts one colour dialog. (Windows delivers queued input to the window it was meant for;
// Wine sends real input elsewhere once the picker hides, so the queue is filled here directly.)
TEST_F(PickerEndingTest, InputQueuedBehindTheTakingPressStartsNoSecondColourDialog) {
    MoveCursor(kAt.x, kAt.y);
    ASSERT_TRUE(StartHuepeek(huepeek_, L"huepeek"));
    HWND const picker = WaitForPicker();
    ASSERT_NE(nullptr, picker);
    LPARAM const centre = MAKELPARAM(192, 128);
    PostMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(picker, WM_KEYDOWN, VK_RETURN, 0x40000001);  // a repeat
    DWORD code = 0;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code)) << "no press took the colour";
    EXPECT_EQ(DWORD(45054), code);
    ASSERT_NE(nullptr, ColourDialogOfAnotherProcess(huepeek_.Id(), kStartTimeoutMs));
    // Every process the picker started was started before it ended.
    EXPECT_EQ(1, CountProcesses(L"huepeek.exe")) << "colour dialogs from one picker";
}

}  // namespace
}  // namespace e2e
