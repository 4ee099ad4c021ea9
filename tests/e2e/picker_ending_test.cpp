// Ending the picker in every way a user or another program can: Alt+F4 and a close request end it
// as Esc does (in direct picker mode they end the process with its exit code), and the picker
// opens again afterwards.
#include "harness.h"

namespace e2e {
namespace {

wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";
UINT const kTrayCallback = WM_APP + 100;
UINT const kIconId = 107;
POINT const kAt = {640, 400};

// A window that appears under a resting pointer gets no X focus: a nudge gives it.
void NudgePointer() {
    MoveCursor(kAt.x + 1, kAt.y);
    MoveCursor(kAt.x, kAt.y);
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
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
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
        {"Esc", [](HWND) { PressKey(VK_ESCAPE); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        PostMessageW(host, kTrayCallback, kIconId, WM_LBUTTONDOWN);
        HWND const picker = WaitForPicker();
        ASSERT_NE(nullptr, picker) << "the picker did not open (again)";
        NudgePointer();
        way.close(picker);
        EXPECT_TRUE(WaitForNoWindow(kPickerClass, huepeek_.Id(), 2000)) << "still shown";
        EXPECT_TRUE(IsWindow(picker)) << "the window went";
        EXPECT_TRUE(huepeek_.Running());
    }
}

}  // namespace
}  // namespace e2e
