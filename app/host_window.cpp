#include "app/host_window.h"

#include "app/app_state.h"
#include "app/hot_key.h"
#include "app/main_dialog.h"
#include "base/process_state.h"
#include "base/system_calls.h"
#include "picker/covered_area.h"
#include "picker/picker_window.h"
#include "res/resource.h"
#include "tray/tray_icon.h"

namespace {

void ShowMainDialogInFront() {
    ShowWindow(g_mainDialog.dialog, SW_SHOW);
    SetForegroundWindow(g_mainDialog.dialog);
}

void ToggleMainDialog() {
    HWND const dialog = g_mainDialog.dialog;
    if (IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_HIDE);
        return;
    }
    ShowWindow(dialog, SW_SHOW);
    // Topmost and back again brings it in front of every window without leaving it topmost.
    UINT const flags = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, flags);
    SetForegroundWindow(dialog);
}

// The shell's broadcast after it has restarted, when every tray program adds its icon again.
UINT const g_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

void OnStartCommand(HWND hwnd, bool background) {
    if (g_picker.endsRun) {
        g_picker.Open();
        return;
    }
    // Before the dialog, whose picker page shows whether the hot key could be had.
    RegisterPickerHotKey(hwnd, g_startSettings);
    // The dialog first: it is what the user waits for. The tray icon and OLE load libraries of
    // the shell and COM, which take their time once the dialog is on screen.
    CreateMainDialog(&g_mainDialog, nullptr, g_startSettings, background);
    SetTrayOwner(&g_trayIcon, hwnd);
    HICON const icon = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(kTrayIconId), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                     LR_DEFAULTCOLOR));
    InstallTrayIcon(&g_trayIcon, kTrayIconId, icon, g_productName, 0, true);
    OleInitializeForThread();
}

}  // namespace

ATOM RegisterHostWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_HUEPEEK));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = g_productName;
    return RegisterClassExW(&wc);
}

int CreateHostWindow(HINSTANCE instance, bool background) {
    // -100 x -100 keeps it off every screen even if it were shown.
    HWND const hwnd =
        CreateWindowExW(0, g_productName, g_productName, kHostWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, -100,
                        -100, nullptr, nullptr, instance, reinterpret_cast<void*>(INT_PTR(background)));
    if (!hwnd) return 0;
    ShowWindow(hwnd, SW_HIDE);
    UpdateWindow(hwnd);
    // No timer: between the tray watchdog's checks the resident process sleeps.
    return 1;
}

void OpenPickerFromTray(PickerOpening opening) {
    HWND const dialog = g_mainDialog.dialog;
    // The dialog goes first, and the picker waits until the screen shows what lay beneath it:
    // the snapshot must not hold the dialog.
    CoveredArea covered(dialog);
    MinimizeToTray(&g_trayIcon, dialog);
    ShowWindow(dialog, SW_HIDE);
    covered.WaitUntilRepainted();
    g_picker.Open(opening);
}

void OnPickerHotKey() {
    // The picker already open keeps its snapshot.
    if (!g_picker.Shown()) OpenPickerFromTray(PickerOpening::kByKey);
}

void TrayClick(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN)
        OpenPickerFromTray(PickerOpening::kByClick);
    else if (mouseMessage == WM_RBUTTONDOWN)
        ToggleMainDialog();
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Not a case of the switch: the message number is only known at run time. The answer to the
    // sender stays DefWindowProcW's.
    if (message == g_instanceMessage) ShowMainDialogInFront();
    if (message == g_taskbarCreated && g_trayIcon.owner) AddOrRefreshTrayIcon(&g_trayIcon);
    switch (message) {
        case WM_CREATE:
            // Posted, so that it runs from the message loop once the window exists and is hidden. It
            // carries "-bg", which the window was made with.
            PostMessageW(hwnd, WM_COMMAND, kStartCommand,
                         reinterpret_cast<LPARAM>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            return 0;
        case WM_CLOSE:
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kStartCommand) OnStartCommand(hwnd, lParam != 0);
            return 0;
        case WM_HOTKEY:
            if (wParam == kPickerHotKeyId) OnPickerHotKey();
            return 0;
        case kTrayCallback:
            if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN) TrayClick(UINT(lParam));
            return 0;
        case kTrayWatchdogTick: CheckTrayIcon(&g_trayIcon); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
