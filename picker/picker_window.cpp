#include "picker/picker_window.h"

#include <windowsx.h>

#include "base/system_calls.h"
#include "base/core/command_line.h"
#include "base/message_box.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "base/scoped_handle.h"
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

// The click that opened the picker, while a press on the picker may still be its second half.
OpeningClick g_openingClick;
bool g_openedByClick;

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

wchar_t* AllocateText(size_t chars) {
    return static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, chars * sizeof(wchar_t)));
}

// A program by its full path in quotes, with one argument. Returns 0, or the system's error code.
DWORD StartProgram(const wchar_t* path, const wchar_t* argument) {
    // Quotes, a blank and the terminator.
    wchar_t* const commandLine = AllocateText(size_t(lstrlenW(path)) + lstrlenW(argument) + 4);
    if (!commandLine) return ERROR_NOT_ENOUGH_MEMORY;
    lstrcpyW(commandLine, L"\"");
    lstrcatW(commandLine, path);
    lstrcatW(commandLine, L"\" ");
    lstrcatW(commandLine, argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    BOOL const started =
        CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    DWORD const error = started ? 0 : GetLastError();
    HeapFree(GetProcessHeap(), 0, commandLine);
    if (!started) return error ? error : ERROR_FILE_NOT_FOUND;
    // The second copy runs on by itself: nothing here waits for it.
    ScopedKernelHandle const thread(process.hThread), child(process.hProcess);
    return 0;
}

// This program again, by its own full path, with the palette argument. Not through the shell: it
// expands a folder named like an environment variable ("a%PATH%b"), gives up on paths of 260
// characters or more, and says nothing either way. Returns 0, or the system's error code.
DWORD StartPaletteProcess() {
    const wchar_t* const path = ProgramPath();
    const wchar_t* const argument = Wide(kPaletteArgument);
    DWORD error = StartProgram(path, argument);
    // Without long-path support the system starts no program by a path of 260 characters or more,
    // though one may run from there (Wine's loader starts it); the path's short form still reaches it.
    if (error && lstrlenW(path) >= MAX_PATH) {
        DWORD const chars = GetShortPathNameW(path, nullptr, 0);
        wchar_t* const shortPath = chars ? AllocateText(chars) : nullptr;
        if (shortPath && GetShortPathNameW(path, shortPath, chars) && lstrlenW(shortPath) < MAX_PATH)
            error = StartProgram(shortPath, argument);
        if (shortPath) HeapFree(GetProcessHeap(), 0, shortPath);
    }
    return error;
}

// The colour is stored all the same; the user learns why no colour dialog comes, and from where.
void ReportPaletteNotStarted(DWORD error) {
    size_t const kReasonChars = 512;
    wchar_t reason[kReasonChars] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   DWORD(kReasonChars), nullptr);
    const wchar_t* const path = ProgramPath();
    wchar_t const intro[] = L"Error! The colour dialog could not be started.\r\n\r\n";
    wchar_t* const text = AllocateText(ARRAYSIZE(intro) + size_t(lstrlenW(path)) + 4 + kReasonChars);
    if (!text) return;
    lstrcpyW(text, intro);
    lstrcatW(text, path);
    lstrcatW(text, L"\r\n\r\n");
    lstrcatW(text, reason);
    ShowMessage(nullptr, text, L"Error!", MB_OK | MB_ICONERROR);
    HeapFree(GetProcessHeap(), 0, text);
}

void TakeColour() {
    // Presses and keys already queued behind the one that took the colour find the picker hidden:
    // one picker starts one colour dialog.
    if (!g_picker.shown) return;
    // Read before hiding: hiding releases the snapshot.
    COLORREF const colour = ColourUnderCursor(&g_picker);
    HidePicker();
    WriteLastColour(colour);
    if (DWORD const error = StartPaletteProcess()) ReportPaletteNotStarted(error);
    if (g_directPickerMode) PostQuitMessage(kExitDirectPicker);
}

// Esc, and closing the picker by any other means (Alt+F4, a close request of another program): the
// picker hides and its window stays for the next opening; in direct picker mode the run ends.
void EndPicker() {
    HidePicker();
    if (g_directPickerMode) PostQuitMessage(kExitDirectPicker);
}

void OnEscPoll() {
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) EndPicker();
}

// Should the window go after all, the next opening makes a new one; a direct picker without its
// window has nothing left to show.
void OnWindowGone() {
    ReleaseSnapshot(&g_picker);
    g_picker.shown = 0;
    g_picker.hwnd = nullptr;
    if (g_directPickerMode) PostQuitMessage(kExitDirectPicker);
}

void OnFollowTick(HWND hwnd) {
    // Re-armed after the update, so a slow update does not pile up ticks.
    KillTimer(hwnd, kFollowTimer);
    UpdatePicker(false);
    SetTimer(hwnd, kFollowTimer, kFollowMs, nullptr);
}

// The cursor one pixel further, or ten with Shift, never off the virtual screen; the picker follows
// at once.
void Nudge(int dx, int dy) {
    int const step = GetKeyState(VK_SHIFT) < 0 ? kShiftNudgeStep : kNudgeStep;
    POINT cursor = {};
    GetCursorPos(&cursor);
    int x = cursor.x, y = cursor.y;
    Picker const& p = g_picker;
    NudgeCursor(&x, &y, dx * step, dy * step,
                {p.screenLeft, p.screenTop, p.screenLeft + p.screenWidth, p.screenTop + p.screenHeight});
    SetCursorPos(x, y);
    UpdatePicker(false);
}

void OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_F1: HidePicker(); break;
        case VK_RETURN: TakeColour(); break;
        case VK_LEFT: Nudge(-1, 0); break;
        case VK_RIGHT: Nudge(1, 0); break;
        case VK_UP: Nudge(0, -1); break;
        case VK_DOWN: Nudge(0, 1); break;
        default:
            // A repeated key finds the picker hidden and copies nothing more.
            if (key >= '1' && key <= '4' && g_picker.shown)
                CopyAndEnd(UINT(key), ColourUnderCursor(&g_picker));
    }
}

// By character, so that "+" and "-" zoom wherever the keyboard layout puts them, keypad included.
void OnButtonDown() {
    if (g_openedByClick) {
        DWORD const position = GetMessagePos();
        DoubleClickLimits const limits = {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                                          GetSystemMetrics(SM_CYDOUBLECLK)};
        if (CompletesDoubleClick(g_openingClick, unsigned(GetMessageTime()), GET_X_LPARAM(position),
                                 GET_Y_LPARAM(position), limits))
            return;
    }
    TakeColour();
}

void OnChar(WPARAM character) {
    if (character == '+')
        SetZoom(ZoomIn(g_picker.zoom));
    else if (character == '-')
        SetZoom(ZoomOut(g_picker.zoom));
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

// The monitor under the cursor, or the one nearest to it; the virtual screen if the system says
// nothing.
PickerRect MonitorAround(POINT cursor) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) {
        RECT const& r = info.rcMonitor;
        return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
    }
    Picker const& p = g_picker;
    return {p.screenLeft, p.screenTop, p.screenLeft + p.screenWidth, p.screenTop + p.screenHeight};
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC const dc = BeginPaint(hwnd, &ps);
    PaintPicker(&g_picker, dc);
    EndPaint(hwnd, &ps);
}

}  // namespace

Picker::Picker() : screenWidth(GetSystemMetrics(SM_CXSCREEN)), screenHeight(GetSystemMetrics(SM_CYSCREEN)) {}

void OpenPicker(PickerOpening opening) {
    if (!g_picker.hwnd) CreatePickerWindow(kCreateSize, kCreateSize, kCreateZoom);
    POINT cursor = {};
    GetCursorPos(&cursor);
    g_openedByClick = opening == PickerOpening::kByClick;
    g_openingClick = {unsigned(GetTickCount()), int(cursor.x), int(cursor.y)};
    g_picker.requestedWidth = kOpenWidth;
    g_picker.requestedHeight = kOpenHeight;
    ShowPicker();
    // The shell, which opens web pages from this thread, may need COM. After the show: the first
    // time it loads COM's libraries, and the picker must not wait for them.
    ComInitialize();
}

bool PickerShown() {
    return g_picker.shown != 0;
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
    bool const unchanged = double(picker->zoom) == g_updateCache.zoom && cursor.x == g_updateCache.cursor.x &&
                           cursor.y == g_updateCache.cursor.y &&
                           picker->currentWidth == g_updateCache.width &&
                           picker->currentHeight == g_updateCache.height;
    if (forced || !unchanged) {
        g_updateCache = {cursor, picker->currentWidth, picker->currentHeight, double(picker->zoom)};
        PickerGeometry const geometry =
            ComputePickerGeometry(cursor.x, cursor.y, picker->currentWidth, picker->currentHeight,
                                  picker->zoom, MonitorAround(cursor), kFrameWidth, kStripHeight);
        PickerRect const& s = geometry.source;
        PickerRect const& w = geometry.window;
        picker->source = {s.left, s.top, s.right, s.bottom};
        picker->window = {w.left, w.top, w.right, w.bottom};
        picker->box = {geometry.boxX, geometry.boxY};
        picker->colour = ColourUnderCursor(picker);
        // No cursor over the picker: the box marks the pixel.
        SetCursor(nullptr);
        MoveWindow(picker->hwnd, w.left, w.top, w.right - w.left, w.bottom - w.top, TRUE);
        Redraw(picker->hwnd);
    }
    // Raised on every update, also when nothing moved, to stay above other topmost windows.
    SetWindowPos(picker->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A handled message answered here is not passed on; every other one goes on to DefWindowProcW.
    switch (message) {
        case WM_PAINT: OnPaint(hwnd); return 1;
        case WM_CLOSE: EndPicker(); return 0;
        case WM_NCDESTROY: OnWindowGone(); break;
        case WM_ERASEBKGND:
            // The paint covers every pixel; erasing first would only flicker.
            return 1;
        case WM_SETCURSOR: SetCursor(nullptr); return 1;
        case WM_KEYDOWN: OnKeyDown(wParam); break;
        case WM_CHAR: OnChar(wParam); break;
        case WM_TIMER:
            if (wParam == kEscPollTimer)
                OnEscPoll();
            else if (wParam == kFollowTimer)
                OnFollowTick(hwnd);
            break;
        case WM_MOUSEMOVE: UpdatePicker(false); return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: OnButtonDown(); break;
        case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wParam)); break;
        case WM_HSCROLL:
        case WM_VSCROLL: OnScroll(LOWORD(wParam)); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
