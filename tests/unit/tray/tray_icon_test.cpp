// The tray icon of this test process against Wine's real notification area.
#include "tray/tray_icon.h"

#include <shellapi.h>

#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "tray/tray_animation.h"

namespace {

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, owner_);
        SetTrayOwner(&tray_, owner_);
    }
    void TearDown() override {
        RemoveTrayIcon(&tray_);
        DestroyWindow(owner_);
    }
    // A handle of our own to the watchdog thread, valid after the tray has closed its own.
    HANDLE WatchdogCopy() const {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), tray_.watchdogThread, GetCurrentProcess(), &copy, SYNCHRONIZE,
                        FALSE, 0);
        return copy;
    }
    static bool Ended(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

    HWND owner_ = nullptr;
    TrayIcon tray_;
};

TEST_F(TrayIconTest, RemovingStopsTheWatchdogBeforeTheIconGoes) {
    EXPECT_EQ(1, InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true));
    EXPECT_TRUE(ProbeTrayIcon(&tray_)) << "not added";
    HANDLE const watchdog = WatchdogCopy();
    ASSERT_NE(nullptr, watchdog);
    EXPECT_FALSE(Ended(watchdog));
    RemoveTrayIcon(&tray_);
    // Ended, not killed: it can no longer put the icon back.
    EXPECT_TRUE(Ended(watchdog)) << "the watchdog still runs after the icon was removed";
    DWORD code = 0;
    GetExitCodeThread(watchdog, &code);
    EXPECT_EQ(0u, code) << "the watchdog did not end by itself";
    CloseHandle(watchdog);
    EXPECT_FALSE(ProbeTrayIcon(&tray_)) << "still in the notification area";
    EXPECT_FALSE(tray_.watchdogThread.Held());
}

// The shell gets an image loaded for it; the icon the caller hands over is destroyed, not lost.
TEST_F(TrayIconTest, TheHandedIconIsDestroyed) {
    HICON const icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTrayIconId),
                                                     IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    ASSERT_NE(nullptr, icon);
    InstallTrayIcon(&tray_, kTrayIconId, icon, L"Huepeek", 0, false);
    EXPECT_TRUE(ProbeTrayIcon(&tray_)) << "not added";
    ICONINFO info = {};
    bool const alive = GetIconInfo(icon, &info) != 0;
    EXPECT_FALSE(alive) << "the handed icon is left";
    if (alive) {
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(TrayIconTest, ASecondInstallLeavesOneWatchdog) {
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true);
    HANDLE const first = WatchdogCopy();
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true);
    HANDLE const second = WatchdogCopy();
    EXPECT_TRUE(Ended(first)) << "two watchdogs";
    EXPECT_FALSE(Ended(second));
    EXPECT_TRUE(ProbeTrayIcon(&tray_));
    CloseHandle(first);
    CloseHandle(second);
}

// The shell as the tray calls it: each call's thread is recorded, and a call made on any thread but
// the test's own can be held, as a shell that hangs holds it.
std::vector<DWORD> g_shellThreads;
CRITICAL_SECTION g_shellLock;
DWORD g_testThread;
bool g_holdOtherThreads;
BOOL RecordingShell(DWORD message, NOTIFYICONDATAW* data) {
    EnterCriticalSection(&g_shellLock);
    g_shellThreads.push_back(GetCurrentThreadId());
    LeaveCriticalSection(&g_shellLock);
    if (GetCurrentThreadId() != g_testThread && g_holdOtherThreads) Sleep(4000);
    return Shell_NotifyIconW(message, data);
}

class TrayWatchdogTest : public TrayIconTest {
  protected:
    void SetUp() override {
        TrayIconTest::SetUp();
        InitializeCriticalSection(&g_shellLock);
        g_testThread = GetCurrentThreadId();
        g_shellThreads.clear();
        g_holdOtherThreads = false;
        shell_ = g_shellNotifyIcon;
        g_shellNotifyIcon = RecordingShell;
        tray_.watchdogPeriodMs = 10;
    }
    void TearDown() override {
        TrayIconTest::TearDown();
        g_shellNotifyIcon = shell_;
        DeleteCriticalSection(&g_shellLock);
    }
    // The watchdog's reminder, as the owner's queue receives it.
    bool TakeTick() {
        MSG tick;
        return PeekMessageW(&tick, owner_, kTrayWatchdogTick, kTrayWatchdogTick, PM_REMOVE) != FALSE;
    }
    // The watchdog has done a period's work: reminded the owner, or called the shell itself.
    bool WaitForWatchdog() {
        size_t const calls = ShellThreads().size();
        return e2e::WaitUntil([&] { return TakeTick() || ShellThreads().size() > calls; }, 2000);
    }
    std::vector<DWORD> ShellThreads() {
        EnterCriticalSection(&g_shellLock);
        std::vector<DWORD> threads = g_shellThreads;
        LeaveCriticalSection(&g_shellLock);
        return threads;
    }
    ShellNotifyIconFn shell_ = nullptr;
};

// The icon lost by the shell comes back through the owner's thread; the watchdog's own thread never
// touches the icon or the shell, so the icon's state has one writer.
TEST_F(TrayWatchdogTest, OnlyTheOwnersThreadPutsTheIconBack) {
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true);
    NOTIFYICONDATAW lost = {};
    lost.cbSize = NOTIFYICONDATAW_V2_SIZE;
    lost.hWnd = owner_;
    lost.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &lost));
    for (int period = 0; period < 3; ++period) ASSERT_TRUE(WaitForWatchdog()) << "the watchdog did nothing";
    for (DWORD thread : ShellThreads())
        ASSERT_EQ(GetCurrentThreadId(), thread) << "a shell call from another thread";
    EXPECT_FALSE(ProbeTrayIcon(&tray_)) << "put back by the watchdog's own thread";
    CheckTrayIcon(&tray_);
    EXPECT_TRUE(ProbeTrayIcon(&tray_)) << "the owner's answer did not put the icon back";
}

// Removing the icon, or installing it again, waits for the watchdog's end, however slow the shell.
TEST_F(TrayWatchdogTest, StoppingWaitsForTheWatchdogToEnd) {
    g_holdOtherThreads = true;
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true);
    HANDLE const first = WatchdogCopy();
    ASSERT_TRUE(WaitForWatchdog());
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, true);
    EXPECT_TRUE(Ended(first)) << "a second watchdog started beside the first";
    HANDLE const second = WatchdogCopy();
    ASSERT_TRUE(WaitForWatchdog());
    RemoveTrayIcon(&tray_);
    EXPECT_TRUE(Ended(second)) << "the watchdog runs on after the icon was removed";
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(TrayIconTest, WithoutTheFlagThereIsNoWatchdog) {
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, L"Huepeek", 0, false);
    EXPECT_TRUE(ProbeTrayIcon(&tray_));
    EXPECT_FALSE(tray_.watchdogThread.Held());
}

TEST_F(TrayIconTest, TipIsCutToWhatTheShellHolds) {
    std::wstring const tip(2000, L'x');
    InstallTrayIcon(&tray_, kTrayIconId, nullptr, tip.c_str(), 0, false);
    EXPECT_EQ(std::wstring(kTrayTipChars - 1, L'x'), tray_.tip);
    EXPECT_TRUE(ProbeTrayIcon(&tray_)) << "a long tip must not make the shell refuse the icon";
}

// The animation as the program asks the system for it. Under Wine the system never animates and
// DrawAnimatedRects does nothing, so both entry points are stood in for here.
struct AnimationCall {
    HWND window;
    int kind;
    RECT from, to;
};
std::vector<AnimationCall> g_calls;
bool g_animationOn;

BOOL WINAPI RecordAnimation(HWND window, int kind, const RECT* from, const RECT* to) {
    g_calls.push_back({window, kind, *from, *to});
    return TRUE;
}

BOOL WINAPI AnimationSetting(UINT action, UINT size, void* data, UINT flags) {
    if (action != SPI_GETANIMATION) return SystemParametersInfoW(action, size, data, flags);
    static_cast<ANIMATIONINFO*>(data)->iMinAnimate = g_animationOn;
    return TRUE;
}

class TrayAnimationTest : public TrayIconTest {
  protected:
    void SetUp() override {
        TrayIconTest::SetUp();
        saved_ = {g_drawAnimatedRects, g_systemParametersInfo};
        g_drawAnimatedRects = RecordAnimation;
        g_systemParametersInfo = AnimationSetting;
        g_calls.clear();
        window_ = CreateWindowExW(0, L"STATIC", L"sent away", WS_POPUP | WS_VISIBLE, 300, 200, 400, 250,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        g_drawAnimatedRects = saved_.draw;
        g_systemParametersInfo = saved_.parameters;
        DestroyWindow(window_);
        TrayIconTest::TearDown();
    }
    struct {
        DrawAnimatedRectsFn draw;
        SystemParametersInfoFn parameters;
    } saved_;
    HWND window_ = nullptr;
};

// Where the animation ends: Wine's shell tells the taskbar's place as the bottom edge, 0,799 to
// 1280,800, which puts the area 100 to 16 pixels before its right end. On a virtual desktop with
// a taskbar the same answer comes before the taskbar window (0,780 to 1280,800), which has no
// "TrayNotifyWnd" child there.
RECT const kExpectedEnd = {1180, 799, 1264, 800};

bool OnVirtualDesktop() {
    char desktop[16] = {};
    return GetEnvironmentVariableA("HUEPEEK_VIRTUAL_DESKTOP", desktop, sizeof(desktop)) > 0;
}

TEST_F(TrayAnimationTest, FromTheWindowToTheNotificationArea) {
    g_animationOn = true;
    ShowWindow(owner_, SW_SHOW);
    MinimizeToTray(&tray_, window_);
    ASSERT_EQ(1u, g_calls.size());
    AnimationCall const& call = g_calls[0];
    EXPECT_EQ(window_, call.window);
    EXPECT_EQ(IDANI_CAPTION, call.kind);
    RECT shown;
    GetWindowRect(window_, &shown);
    EXPECT_TRUE(EqualRect(&shown, &call.from));
    if (OnVirtualDesktop()) {
        HWND const taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        ASSERT_NE(nullptr, taskbar) << "no taskbar: not on the virtual desktop";
        EXPECT_TRUE(IsWindowVisible(taskbar));
    }
    EXPECT_TRUE(EqualRect(&kExpectedEnd, &call.to))
        << call.to.left << "," << call.to.top << "," << call.to.right << "," << call.to.bottom;
    EXPECT_FALSE(IsWindowVisible(owner_)) << "the owner is hidden";
}

TEST_F(TrayAnimationTest, NoAnimationWhenTheSystemHasItOffOrNothingIsShown) {
    g_animationOn = false;
    ShowWindow(owner_, SW_SHOW);
    MinimizeToTray(&tray_, window_);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(IsWindowVisible(owner_)) << "hidden without the animation too";
    g_animationOn = true;
    ShowWindow(window_, SW_HIDE);
    MinimizeToTray(&tray_, window_);
    MinimizeToTray(&tray_, nullptr);
    EXPECT_TRUE(g_calls.empty()) << "animated from a window nobody sees";
}

}  // namespace
