#include "picker/picker_window.h"

#include <objbase.h>
#include <shellapi.h>

#include "app/app_state.h"
#include "app/core/command_line.h"
#include "app/program_path.h"
#include "app/system_library.h"
#include "picker/clipboard_export.h"
#include "picker/core/picker_geometry.h"
#include "settings/settings_store.h"

Picker g_picker;
Picker* g_pickerPointer = nullptr;
COLORREF g_currentColour = 0;

namespace {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
SetLayeredWindowAttributesFn g_setLayeredWindowAttributes;
int g_cursorHiding = 0;

struct UpdateCache {
    POINT cursor;
    int width, height;
    double zoom;
} g_updateCache;

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void SetZoom(Picker* picker, float zoom) {
    if (zoom == picker->zoom) return;
    picker->zoom = zoom;
    Redraw(picker->hwnd);
}

void TakeColourByClick() {
    HidePicker();
    WriteLastColour(g_currentColour);
    ShellExecuteW(nullptr, L"open", ProgramPath(), reinterpret_cast<const wchar_t*>(kPaletteArgument),
                  nullptr, SW_SHOW);
    if (g_directPickerMode) PostQuitMessage(kExitDirectPicker);
}

void OnEscPoll() {
    if (!(GetAsyncKeyState(VK_ESCAPE) & 0x8000)) return;
    HidePicker();
    if (g_directPickerMode) PostQuitMessage(kExitDirectPicker);
}

void OnFollowTick(HWND hwnd) {
    // Re-armed after the update, so a slow update does not pile up ticks.
    KillTimer(hwnd, kFollowTimer);
    UpdatePicker(false);
    SetTimer(hwnd, kFollowTimer, kFollowMs, nullptr);
}

void OnKeyDown(WPARAM key) {
    if (key == VK_F1)
        HidePicker();
    else if (key >= '1' && key <= '4')
        CopyAndEnd(UINT(key));
}

void OnScroll(WORD request) {
    if (request == SB_LINEUP || request == SB_PAGEUP)
        SetZoom(g_pickerPointer, ZoomOut(g_pickerPointer->zoom));
    else if (request == SB_LINEDOWN || request == SB_PAGEDOWN)
        SetZoom(g_pickerPointer, ZoomIn(g_pickerPointer->zoom));
}

}  // namespace

Picker::Picker() {
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    g_setLayeredWindowAttributes = GetProcedure<SetLayeredWindowAttributesFn>(GetModuleHandleW(L"USER32.DLL"),
                                                                              "SetLayeredWindowAttributes");
}

void OpenPicker() {
    CoInitialize(nullptr);
    if (!g_picker.hwnd) CreatePickerWindow(128, 128, 10.0f);
    g_picker.requestedWidth = 384;
    g_picker.requestedHeight = 256;
    ShowPicker();
}

HWND CreatePickerWindow(int width, int height, float zoom) {
    Picker* const picker = &g_picker;
    picker->zoom = CreationZoom(zoom);
    picker->currentWidth = width;
    picker->currentHeight = height;
    if (picker->hwnd) return nullptr;

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DROPSHADOW | CS_PARENTDC;
    wc.lpfnWndProc = PickerWindowProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kPickerClassName;
    RegisterClassExW(&wc);

    g_pickerPointer = picker;
    picker->hwnd = CreateWindowExW(WS_EX_TOPMOST, kPickerClassName, L"", WS_POPUP, 0, 0, 200, 200, nullptr,
                                   nullptr, g_instance, nullptr);
    if (!picker->hwnd) return nullptr;
    if (g_setLayeredWindowAttributes) {
        g_cursorHiding = 1;
        SetWindowLongW(picker->hwnd, GWL_EXSTYLE, WS_EX_TOPMOST);
    }
    SetTimer(picker->hwnd, kEscPollTimer, kEscPollMs, nullptr);
    return picker->hwnd;
}

int ShowPicker() {
    Picker* const picker = &g_picker;
    if (!IsWindow(picker->hwnd)) return 0;
    picker->shown = 1;
    CaptureScreen(picker);
    FixRequestedSize(&picker->requestedWidth, &picker->requestedHeight, picker->screenWidth,
                     picker->screenHeight);
    picker->currentWidth = picker->requestedWidth;
    picker->currentHeight = picker->requestedHeight;
    SetTimer(picker->hwnd, kFollowTimer, kFollowMs, nullptr);
    UpdatePicker(true);
    SetWindowPos(picker->hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SetFocus(picker->hwnd);
    return 1;
}

void HidePicker() {
    Picker* const picker = &g_picker;
    if (!picker->shown) return;
    picker->shown = 0;
    ReleaseSnapshot(picker);
    ShowWindow(picker->hwnd, SW_HIDE);
    KillTimer(picker->hwnd, kFollowTimer);
}

void UpdatePicker(bool forced) {
    Picker* const picker = &g_picker;
    POINT cursor = {};
    GetCursorPos(&cursor);
    picker->currentWidth = picker->requestedWidth;
    picker->currentHeight = picker->requestedHeight;
    PickerRect source, window;
    ComputePickerGeometry(cursor.x, cursor.y, picker->currentWidth, picker->currentHeight, picker->zoom,
                          &source, &window);
    picker->source = {source.left, source.top, source.right, source.bottom};
    picker->window = {window.left, window.top, window.right, window.bottom};

    bool const unchanged = double(picker->zoom) == g_updateCache.zoom && cursor.x == g_updateCache.cursor.x &&
                           cursor.y == g_updateCache.cursor.y &&
                           picker->currentWidth == g_updateCache.width &&
                           picker->currentHeight == g_updateCache.height;
    if (forced || !unchanged) {
        g_updateCache = {cursor, picker->currentWidth, picker->currentHeight, double(picker->zoom)};
        if (g_cursorHiding) SetCursor(picker->cursorToShow);
        RECT const& r = picker->window;
        MoveWindow(picker->hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        Redraw(picker->hwnd);
    }
    // Raised on every update, also when nothing moved, to stay above other topmost windows.
    SetWindowPos(picker->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Picker* const picker = g_pickerPointer;
    if (!picker) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC const dc = BeginPaint(hwnd, &ps);
            PaintPicker(picker, dc);
            EndPaint(hwnd, &ps);
            return 1;
        }
        case WM_ERASEBKGND:
            // The paint covers every pixel; erasing first would only flicker.
            return 1;
        case WM_SETCURSOR:
            if (g_cursorHiding) {
                SetCursor(picker->cursorToShow);
                return 1;
            }
            break;
        case WM_KEYDOWN: OnKeyDown(wParam); break;
        case WM_TIMER:
            if (wParam == kEscPollTimer)
                OnEscPoll();
            else if (wParam == kFollowTimer)
                OnFollowTick(hwnd);
            break;
        case WM_MOUSEMOVE: UpdatePicker(false); return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: TakeColourByClick(); break;
        case WM_MOUSEWHEEL: {
            short const delta = GET_WHEEL_DELTA_WPARAM(wParam);
            if (delta > 0)
                SetZoom(picker, ZoomIn(picker->zoom));
            else if (delta < 0)
                SetZoom(picker, ZoomOut(picker->zoom));
            break;
        }
        case WM_HSCROLL:
        case WM_VSCROLL: OnScroll(LOWORD(wParam)); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
