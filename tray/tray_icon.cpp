#include "tray/tray_icon.h"

#include <shellapi.h>

#include "base/display_scale.h"
#include "base/system_calls.h"
#include "base/process_state.h"
#include "base/scoped_handle.h"
#include "tray/tray_animation.h"

TrayIcon g_trayIcon;
ShellNotifyIconFn g_shellNotifyIcon = ShellNotifyIcon;

namespace {

// The record as far as the shell of Windows 2000 knows it: no balloon, no GUID.
DWORD const kRecordSize = NOTIFYICONDATAW_V2_SIZE;
static_assert(NOTIFYICONDATAW_V2_SIZE == 952, "the notification record's size");
size_t const kShellTipChars = 128;

// The watchdog only reminds the owner's thread, which alone touches the icon and the shell: the
// icon's state has one writer, and the thread never waits on a shell call, so a stop ends it at once.
DWORD WINAPI WatchdogThread(void* parameter) {
    TrayIcon const* const tray = static_cast<TrayIcon const*>(parameter);
    while (WaitForSingleObject(tray->watchdogStop, tray->watchdogPeriodMs) == WAIT_TIMEOUT)
        PostMessageW(tray->owner, kTrayWatchdogTick, 0, 0);
    return 0;
}

// Waits for the end of the thread: its handles are closed, and a next watchdog started, only after.
void StopWatchdog(TrayIcon* tray) {
    if (tray->watchdogThread.Held()) {
        SetEvent(tray->watchdogStop);
        WaitForSingleObject(tray->watchdogThread, INFINITE);
    }
    // The event too when no thread could be started for it.
    tray->watchdogThread.Close();
    tray->watchdogStop.Close();
    tray->watchdogThreadId = 0;
}

}  // namespace

TrayIcon::~TrayIcon() {
    RemoveTrayIcon(this);
}

BOOL NotifyTray(const TrayIcon* tray, DWORD message, UINT flags, HICON icon, const wchar_t* tip) {
    NOTIFYICONDATAW data = {};
    data.cbSize = kRecordSize;
    data.hWnd = tray->owner;
    data.uID = tray->iconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tip ? tip : L"", int(kShellTipChars));
    BOOL const result = g_shellNotifyIcon(message, &data);
    // The shell keeps a copy of its own.
    if (icon) DestroyIcon(icon);
    return result;
}

BOOL ProbeTrayIcon(const TrayIcon* tray) {
    return NotifyTray(tray, NIM_MODIFY, NIF_MESSAGE, nullptr, tray->tip);
}

BOOL AddOrRefreshTrayIcon(TrayIcon* tray) {
    // A small icon at the scale the shell draws the notification area in: its own image, not a
    // large one that the shell would shrink.
    tray->icon = LoadIconForDpi(g_instance, int(tray->iconId), true, SystemDpi());
    DWORD const message = ProbeTrayIcon(tray) ? NIM_MODIFY : NIM_ADD;
    return NotifyTray(tray, message, NIF_MESSAGE | NIF_ICON | NIF_TIP, tray->icon, tray->tip);
}

void CheckTrayIcon(TrayIcon* tray) {
    if (!ProbeTrayIcon(tray)) AddOrRefreshTrayIcon(tray);
}

void SetTrayOwner(TrayIcon* tray, HWND owner) {
    tray->owner = owner;
}

int InstallTrayIcon(TrayIcon* tray, UINT iconId, HICON icon, const wchar_t* tip, LPARAM, bool watchdog) {
    // The shell gets an image loaded for it, destroyed once handed over; the caller's goes here.
    ScopedIcon const handed(icon);
    tray->iconId = iconId;
    lstrcpynW(tray->tip, tip ? tip : L"", int(kTrayTipChars));
    AddOrRefreshTrayIcon(tray);
    if (watchdog) {
        // Never two watchdogs: the one running ends before the next starts.
        StopWatchdog(tray);
        tray->watchdogStop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (tray->watchdogStop.Held())
            tray->watchdogThread.Reset(
                CreateThread(nullptr, 0, WatchdogThread, tray, 0, &tray->watchdogThreadId));
    }
    return 1;
}

void RemoveTrayIcon(TrayIcon* tray) {
    StopWatchdog(tray);
    if (tray->owner && tray->iconId)
        NotifyTray(tray, NIM_DELETE, NIF_MESSAGE | NIF_ICON | NIF_TIP, nullptr, nullptr);
}

void MinimizeToTray(TrayIcon* tray, HWND window) {
    // From what the user sees, the window sent away; the icon's owner is never visible, and a
    // window already hidden has nothing to animate.
    if (window && IsWindowVisible(window) && MinimizeAnimationOn()) {
        RECT start = {};
        GetWindowRect(window, &start);
        AnimateToTray(window, start, NotificationAreaOnScreen());
    }
    ShowWindow(tray->owner, SW_HIDE);
}
