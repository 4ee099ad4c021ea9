// The notification-area icon of the real program: added at start, its clicks, put back when the
// shell loses it, gone at exit; and the minimize animation on a virtual desktop with a taskbar.
#include <string>

#include "dialog_driver.h"
#include "harness.h"

#include <shellapi.h>

namespace e2e {
namespace {

UINT const kTrayCallback = WM_APP + 100;
UINT const kIconId = 107;
wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";

HWND HostWindow() {
    return FindWindowW(L"Huepeek", L"Huepeek");
}

// A modify that changes nothing succeeds only while the shell has the icon.
bool IconPresent(HWND host) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = host;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = kTrayCallback;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// As a restarting shell loses it.
bool DeleteIcon(HWND host) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = host;
    data.uID = kIconId;
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

// Without a window manager Wine keeps the icons in a small window of its own.
HWND StandaloneTray() {
    return FindWindowW(L"__winex11_standalone_tray", nullptr);
}

class TrayTest : public E2eTest {
  protected:
    void StartProgram() {
        ASSERT_TRUE(StartHuepeek(huepeek_, L""));
        dialog_ = WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog_);
        ASSERT_TRUE(WaitUntil([&] { return (host_ = HostWindow()) != nullptr; }, kStartTimeoutMs));
        ASSERT_TRUE(WaitUntil([&] { return IconPresent(host_); }, kStartTimeoutMs)) << "no icon";
    }

    // A real left click on the icon opens the picker; Esc closes it again.
    void ExpectClickOnIconOpensThePicker() {
        HWND const tray = StandaloneTray();
        ASSERT_NE(nullptr, tray) << "no notification area";
        // The first place of the client area. An icon left there by a program that was ended from
        // outside goes when it is clicked (the tray finds its window gone), and ours moves up.
        RECT const area = ClientRectOnScreen(tray);
        int const half = GetSystemMetrics(SM_CXSMICON) / 2;
        HWND picker = nullptr;
        for (int attempt = 0; attempt < 4 && !picker; ++attempt) {
            ClickAt(area.left + half + 2, area.top + half + 2);
            picker = WaitForWindow(kPickerClass, L"", huepeek_.Id(), 1500);
        }
        ASSERT_NE(nullptr, picker) << "the click did not reach the program";
        EXPECT_TRUE(HoldKeyUntil(
            VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, 2000));
    }

    // The shell's notification of a mouse message over the icon, sent: the program has handled it
    // when this returns.
    bool Notify(LPARAM mouseMessage) { return Deliver(host_, kTrayCallback, kIconId, mouseMessage); }

    Process huepeek_;
    HWND dialog_ = nullptr;
    HWND host_ = nullptr;
};

TEST_F(TrayTest, TrayCallbackOpensThePickerAndTogglesTheDialog) {
    StartProgram();
    ASSERT_TRUE(IsWindowVisible(dialog_));
    // The picker opens round the pointer: away from the dialog, wherever an earlier test left it.
    POINT const at = {1000, 650};
    MoveCursor(at.x, at.y);
    ASSERT_TRUE(Notify(WM_LBUTTONDOWN));
    HWND const picker = FindTopWindow(kPickerClass, L"", huepeek_.Id());
    ASSERT_NE(nullptr, picker) << "no picker";
    EXPECT_FALSE(IsWindowVisible(dialog_)) << "the dialog stays shown under the picker";
    // It appeared under a resting pointer, which gives it no X focus, and Esc reaches the picker
    // only while a window of Wine has that focus: a nudge gives it.
    EXPECT_TRUE(NudgeCursor(at)) << "the pointer did not come back";
    ASSERT_TRUE(HoldKeyUntil(
        VK_ESCAPE, [&] { return !IsWindowVisible(picker); }, kExitTimeoutMs));

    // Shown and raised through topmost and back: in front, but not left topmost.
    ASSERT_TRUE(Notify(WM_RBUTTONDOWN));
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "not shown";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog_; }, 2000)) << "not in front";
    EXPECT_FALSE(GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) << "left topmost";
    ASSERT_TRUE(Notify(WM_RBUTTONDOWN));
    EXPECT_FALSE(IsWindowVisible(dialog_)) << "not hidden";

    // Every other mouse message does nothing.
    for (LPARAM other : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK,
                         WM_MBUTTONDOWN, WM_MBUTTONUP, WM_CONTEXTMENU})
        ASSERT_TRUE(Notify(other));
    EXPECT_FALSE(IsWindowVisible(dialog_));
    EXPECT_EQ(nullptr, FindTopWindow(kPickerClass, L"", huepeek_.Id()));
    EXPECT_TRUE(DrainMessages(host_)) << "the program ended";
}

TEST_F(TrayTest, ClickOnTheIconOpensThePicker) {
    StartProgram();
    ExpectClickOnIconOpensThePicker();
    EXPECT_FALSE(IsWindowVisible(dialog_));
}

TEST_F(TrayTest, LostIconComesBackWithinOneWatchdogPeriod) {
    StartProgram();
    ASSERT_TRUE(DeleteIcon(host_));
    ASSERT_FALSE(IconPresent(host_));
    DWORD const lost = GetTickCount();
    // One period of 5 seconds, and a little for the shell.
    ASSERT_TRUE(WaitUntil([&] { return IconPresent(host_); }, 6500)) << "the icon did not come back";
    EXPECT_LE(GetTickCount() - lost, 6000u);
    ExpectClickOnIconOpensThePicker();
}

TEST_F(TrayTest, TaskbarCreatedPutsTheIconBackAtOnce) {
    StartProgram();
    ASSERT_TRUE(DeleteIcon(host_));
    // What a restarted shell sends to every top-level window.
    SendMessageW(host_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconPresent(host_)) << "not back when the shell asked for it";
}

TEST_F(TrayTest, IconIsGoneAtExitAndStaysGone) {
    StartProgram();
    ClickButton(GetDlgItem(dialog_, 1045));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(huepeek_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(1), code);
    EXPECT_FALSE(IconPresent(host_)) << "the icon outlived the program";
    if (HWND const tray = StandaloneTray()) {
        EXPECT_FALSE(IsWindowVisible(tray)) << "an icon is still shown";
    }
}

// The in-process animation tests once more, on a virtual desktop with a taskbar (Wine gives the
// desktop named "shell" one), where the end of the animation comes from another rule.
TEST_F(TrayTest, AnimationEndsAtTheTaskbarOfAVirtualDesktop) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, L"shell", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1280x800"), sizeof(L"1280x800"));
    RegCloseKey(key);
    ScopedEnvironment desktop(L"HUEPEEK_VIRTUAL_DESKTOP", L"1");
    Process tests;
    ASSERT_TRUE(tests.Start(TestProgramDir() + L"\\huepeek_unit_tests.exe",
                            L"--gtest_filter=TrayAnimationTest.*", nullptr, L"shell"));
    DWORD code = 0xFFFF;
    EXPECT_TRUE(tests.WaitExit(30000, &code));
    EXPECT_EQ(DWORD(0), code) << "the animation tests failed on the virtual desktop";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", L"shell");
}

}  // namespace
}  // namespace e2e
