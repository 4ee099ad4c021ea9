#pragma once
#include <windows.h>
#include <shellapi.h>

#include "base/scoped_handle.h"

// The program's one icon in the notification area: added for the host window, kept alive by a
// watchdog thread that puts it back whenever the shell has lost it, and removed at exit.

UINT const kTrayCallback = WM_APP + 100;      // 0x8064: every notification of the icon
UINT const kTrayWatchdogTick = WM_APP + 101;  // posted by the watchdog to the owner, once a period
UINT const kTrayIconId = 107;                 // also the icon's resource
DWORD const kWatchdogPeriodMs = 5000;
size_t const kTrayTipChars = 1024;

class TrayIcon {
  public:
    TrayIcon() {}
    virtual ~TrayIcon();  // takes the icon out of the notification area

    DWORD watchdogThreadId = 0;
    ScopedKernelHandle watchdogThread;
    ScopedKernelHandle watchdogStop;  // set to end the watchdog; it waits on it between ticks
    DWORD watchdogPeriodMs = kWatchdogPeriodMs;
    wchar_t tip[kTrayTipChars] = {};
    HICON icon = nullptr;  // the image last handed to the shell (destroyed right after)
    UINT iconId = 0;
    HWND owner = nullptr;  // receives kTrayCallback
};

extern TrayIcon g_trayIcon;

// The shell's Shell_NotifyIconW, through which every call of NotifyTray goes (tests stand in for it).
using ShellNotifyIconFn = BOOL (*)(DWORD message, NOTIFYICONDATAW* data);
extern ShellNotifyIconFn g_shellNotifyIcon;

void SetTrayOwner(TrayIcon* tray, HWND owner);
// Adds the icon (the caller's icon handle is destroyed: the shell gets an image loaded here) and, if asked,
// starts the watchdog; a watchdog already running has ended before the next starts. Always 1.
int InstallTrayIcon(TrayIcon* tray, UINT iconId, HICON icon, const wchar_t* tip, LPARAM extra, bool watchdog);
// Loads the image and adds the icon, or updates it if the shell has it already.
BOOL AddOrRefreshTrayIcon(TrayIcon* tray);
// Whether the shell has the icon: a modify that changes nothing.
BOOL ProbeTrayIcon(const TrayIcon* tray);
// The owner's answer to kTrayWatchdogTick, on its own thread: puts the icon back if the shell lost it.
void CheckTrayIcon(TrayIcon* tray);
// Stops the watchdog first, so that it can never put the icon back, then removes the icon.
void RemoveTrayIcon(TrayIcon* tray);
// Every call to the shell passes here; an icon handed over is destroyed after the call.
BOOL NotifyTray(const TrayIcon* tray, DWORD message, UINT flags, HICON icon, const wchar_t* tip);

// Plays the system's minimize animation from window (the one being sent away, if it is shown) to
// the notification area, when the system animates, and hides the icon's owner.
void MinimizeToTray(TrayIcon* tray, HWND window);
