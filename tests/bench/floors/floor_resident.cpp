// A resident tray-like program: a hidden window and a thread that wakes every 5 s, as the program
// in the tray has. On the tray icon's left button (or its hot key, Win+Shift+V) it copies the screen
// with one BitBlt and shows it in a topmost popup at the cursor, with a 10 ms and a 20 ms timer that
// do nothing while it is shown (the picker's two); F1 on the popup hides it again. The floor of the
// tray click and the hot key to the magnifier, of the picker at rest, of the idle tray and of the
// memory in the tray. Built a second time with the common controls 6 loaded as the main dialog's
// toolbar needs them (floor_resident_v6).
#include <windows.h>
#include <commctrl.h>

namespace {

UINT const kTrayCallback = WM_APP + 100;
int const kHotKeyId = 1;
int const kPopupWidth = 384;
int const kPopupHeight = 256;

HINSTANCE g_instance;
HWND g_popup;
HDC g_snapshot;
HBITMAP g_snapshotBitmap;
HGDIOBJ g_previousBitmap;
POINT g_cursor;

DWORD WINAPI Watchdog(void* stop) {
    while (WaitForSingleObject(stop, 5000) == WAIT_TIMEOUT) {
    }
    return 0;
}

void Release() {
    if (!g_snapshot) return;
    SelectObject(g_snapshot, g_previousBitmap);
    DeleteObject(g_snapshotBitmap);
    DeleteDC(g_snapshot);
    g_snapshot = nullptr;
}

void Open() {
    Release();
    HDC const screen = GetDC(nullptr);
    int const w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    g_snapshot = CreateCompatibleDC(screen);
    g_snapshotBitmap = CreateCompatibleBitmap(screen, w, h);
    g_previousBitmap = SelectObject(g_snapshot, g_snapshotBitmap);
    BitBlt(g_snapshot, 0, 0, w, h, screen, GetSystemMetrics(SM_XVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
    ReleaseDC(nullptr, screen);
    GetCursorPos(&g_cursor);
    SetWindowPos(g_popup, HWND_TOPMOST, g_cursor.x - kPopupWidth / 2, g_cursor.y - kPopupHeight / 2,
                 kPopupWidth, kPopupHeight, SWP_SHOWWINDOW);
    SetFocus(g_popup);
    SetTimer(g_popup, 1000, 10, nullptr);
    SetTimer(g_popup, 1111, 20, nullptr);
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC const dc = BeginPaint(hwnd, &ps);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, kPopupWidth, kPopupHeight, g_snapshot, g_cursor.x - 19, g_cursor.y - 12, 38, 24,
                   SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_TIMER) return 0;
    if (message == WM_KEYDOWN && wParam == VK_F1) {
        KillTimer(hwnd, 1000);
        KillTimer(hwnd, 1111);
        ShowWindow(hwnd, SW_HIDE);
        Release();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == kTrayCallback && lParam == WM_LBUTTONDOWN) ||
        (message == WM_HOTKEY && wParam == kHotKeyId))
        Open();
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

ATOM Register(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_instance;
    wc.lpszClassName = name;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassW(&wc);
}

void LoadCommonControls() {
#ifdef HUEPEEK_FLOOR_COMMON_CONTROLS
    // Through the manifest's activation context: version 6, as the main dialog's toolbar has it.
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    INITCOMMONCONTROLSEX const icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES};
    if (HMODULE const comctl32 = LoadLibraryW(L"comctl32.dll"))
        if (auto const init = reinterpret_cast<InitCommonControlsExFn>(
                reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx"))))
            init(&icc);
#endif
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_instance = instance;
    LoadCommonControls();
    Register(L"HuepeekFloorHost", HostProc);
    Register(L"HuepeekFloorPopup", PopupProc);
    HWND const host = CreateWindowExW(0, L"HuepeekFloorHost", L"HuepeekFloor", WS_OVERLAPPEDWINDOW, 0, 0, 10,
                                      10, nullptr, nullptr, instance, nullptr);
    g_popup = CreateWindowExW(WS_EX_TOPMOST, L"HuepeekFloorPopup", L"", WS_POPUP, 0, 0, kPopupWidth,
                              kPopupHeight, nullptr, nullptr, instance, nullptr);
    RegisterHotKey(host, kHotKeyId, MOD_WIN | MOD_SHIFT, 'V');
    HANDLE const stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, Watchdog, stop, 0, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    SetEvent(stop);
    return 0;
}
