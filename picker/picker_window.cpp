#include "picker/picker_window.h"

#include <objbase.h>
#include <shellapi.h>

#include "base/system_calls.h"
#include "base/core/command_line.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "base/wide_text.h"
#include "picker/clipboard_export.h"
#include "picker/core/picker_geometry.h"
#include "settings/settings_store.h"

Picker g_picker;

namespace {

int const kOpenWidth = 384;
int const kOpenHeight = 256;
int const kCreateSize = 128;
float const kCreateZoom = 10.0f;

struct UpdateCache {
    POINT cursor;
    int width, height;
    double zoom;
} g_updateCache;

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void SetZoom(float zoom) {
    if (zoom == g_picker.zoom) return;
    g_picker.zoom = zoom;
    Redraw(g_picker.hwnd);
}

void TakeColourByClick() {
    // Read before hiding: hiding releases the snapshot.
    COLORREF const colour = ColourUnderCursor(&g_picker);
    HidePicker();
    WriteLastColour(colour);
    ShellOpen(nullptr, L"open", ProgramPath(), Wide(kPaletteArgument), nullptr, SW_SHOW);
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
        CopyAndEnd(UINT(key), ColourUnderCursor(&g_picker));
}

void OnScroll(WORD request) {
    if (request == SB_LINEUP || request == SB_PAGEUP)
        SetZoom(ZoomOut(g_picker.zoom));
    else if (request == SB_LINEDOWN || request == SB_PAGEDOWN)
        SetZoom(ZoomIn(g_picker.zoom));
}

void OnWheel(short delta) {
    if (delta > 0)
        SetZoom(ZoomIn(g_picker.zoom));
    else if (delta < 0)
        SetZoom(ZoomOut(g_picker.zoom));
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC const dc = BeginPaint(hwnd, &ps);
    PaintPicker(&g_picker, dc);
    EndPaint(hwnd, &ps);
}

}  // namespace

Picker::Picker() : screenWidth(GetSystemMetrics(SM_CXSCREEN)), screenHeight(GetSystemMetrics(SM_CYSCREEN)) {}

void OpenPicker() {
    if (!g_picker.hwnd) CreatePickerWindow(kCreateSize, kCreateSize, kCreateZoom);
    g_picker.requestedWidth = kOpenWidth;
    g_picker.requestedHeight = kOpenHeight;
    ShowPicker();
    // The click starts the palette process through the shell, which may need COM. After the show:
    // the first time it loads COM's libraries, and the picker must not wait for them.
    ComInitialize();
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

    picker->hwnd = CreateWindowExW(WS_EX_TOPMOST, kPickerClassName, L"", WS_POPUP, 0, 0, 200, 200, nullptr,
                                   nullptr, g_instance, nullptr);
    if (!picker->hwnd) return nullptr;
    // In direct picker mode Esc ends the run at any time, the picker shown or not; otherwise the
    // poll runs only while the picker is shown, so the program sleeps in the tray.
    if (g_directPickerMode) SetTimer(picker->hwnd, kEscPollTimer, kEscPollMs, nullptr);
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
    SetTimer(picker->hwnd, kEscPollTimer, kEscPollMs, nullptr);
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
    if (!g_directPickerMode) KillTimer(picker->hwnd, kEscPollTimer);
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
        picker->colour = ColourUnderCursor(picker);
        // No cursor over the picker: the box marks the pixel.
        SetCursor(nullptr);
        RECT const& r = picker->window;
        MoveWindow(picker->hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        Redraw(picker->hwnd);
    }
    // Raised on every update, also when nothing moved, to stay above other topmost windows.
    SetWindowPos(picker->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A handled message answered 1 is not passed on; every other one goes on to DefWindowProcW.
    switch (message) {
        case WM_PAINT: OnPaint(hwnd); return 1;
        case WM_ERASEBKGND:
            // The paint covers every pixel; erasing first would only flicker.
            return 1;
        case WM_SETCURSOR: SetCursor(nullptr); return 1;
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
        case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wParam)); break;
        case WM_HSCROLL:
        case WM_VSCROLL: OnScroll(LOWORD(wParam)); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
