#include "picker/picker_window.h"

#include <windowsx.h>

#include "base/heap_buffer.h"
#include "base/system_calls.h"
#include "base/system_library.h"
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

// Follow ticks in a row that found nothing changed.
int g_quietTicks;

// The click that opened the picker, while a press on the picker may still be its second half.
OpeningClick g_openingClick;
bool g_openedByClick;

struct UpdateCache {
    POINT cursor;
    int width, height;  // the requested size
    double zoom;
    UINT dpi;
    HMONITOR monitor;
} g_updateCache;

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void SetZoom(float zoom) {
    if (zoom == g_picker.zoom) return;
    g_picker.zoom = zoom;
    Redraw(g_picker.hwnd);
}

// A program by its full path in quotes, with one argument. Returns 0, or the system's error code.
DWORD StartProgram(const wchar_t* path, const wchar_t* argument) {
    // Quotes, a blank and the terminator.
    HeapBuffer<wchar_t> const commandLine(size_t(lstrlenW(path)) + lstrlenW(argument) + 4);
    if (!commandLine.get()) return ERROR_NOT_ENOUGH_MEMORY;
    lstrcpyW(commandLine.get(), L"\"");
    lstrcatW(commandLine.get(), path);
    lstrcatW(commandLine.get(), L"\" ");
    lstrcatW(commandLine.get(), argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path, commandLine.get(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        DWORD const error = GetLastError();
        return error ? error : ERROR_FILE_NOT_FOUND;
    }
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
    if (lstrlenW(path) < MAX_PATH) return StartProgram(path, argument);
    // Without long-path support the system starts no program by a path of 260 characters or more,
    // though one may run from there (Wine's loader starts it); the path's short form still reaches
    // it. Given in the form "\\?\": Wine makes the name it is given long again, into a buffer of
    // MAX_PATH characters, and where the long form does not fit there it starts whatever that
    // unwritten buffer holds (a name an earlier call left on the stack, or nothing); a name in the
    // form "\\?\" it takes as it stands.
    DWORD const chars = GetShortPathNameW(path, nullptr, 0);
    HeapBuffer<wchar_t> const shortPath(chars);
    bool const hasShortForm = chars && shortPath.get() && GetShortPathNameW(path, shortPath.get(), chars) &&
                              lstrlenW(shortPath.get()) < MAX_PATH;
    HeapBuffer<wchar_t> const name = AnyLengthPath(hasShortForm ? shortPath.get() : path);
    return name.get() ? StartProgram(name.get(), argument) : ERROR_NOT_ENOUGH_MEMORY;
}

// The colour is stored all the same; the user learns why no colour dialog comes, and from where.
void ReportPaletteNotStarted(DWORD error) {
    size_t const kReasonChars = 512;
    wchar_t reason[kReasonChars] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   DWORD(kReasonChars), nullptr);
    const wchar_t* const path = ProgramPath();
    wchar_t const intro[] = L"Error! The colour dialog could not be started.\r\n\r\n";
    HeapBuffer<wchar_t> const buffer(ARRAYSIZE(intro) + size_t(lstrlenW(path)) + 4 + kReasonChars);
    wchar_t* const text = buffer.get();
    if (!text) return;
    lstrcpyW(text, intro);
    lstrcatW(text, path);
    lstrcatW(text, L"\r\n\r\n");
    lstrcatW(text, reason);
    ShowMessage(nullptr, text, L"Error!", MB_OK | MB_ICONERROR);
}

void TakeColour() {
    // Presses and keys already queued behind the one that took the colour find the picker hidden:
    // one picker starts one colour dialog.
    if (!g_picker.shown) return;
    // What the label shows: the cursor may have moved on since the picker last followed it.
    COLORREF const colour = g_picker.colour;
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

// Above other topmost windows: raised only when one has come above it.
void KeepOnTop(HWND hwnd) {
    if (GetWindow(hwnd, GW_HWNDPREV))
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// At rest the tick halves its pace: moves over the picker still come as messages at once, and a
// jump beyond it or Esc pressed elsewhere is seen within 20 ms, as the Esc poll of a hidden direct
// picker sees it. Any change brings the quick tick back.
void PaceFollowTick(HWND hwnd, bool changed) {
    if (changed) {
        if (g_quietTicks >= kTicksBeforeRest) SetTimer(hwnd, kFollowTimer, kFollowMs, nullptr);
        g_quietTicks = 0;
    } else if (++g_quietTicks == kTicksBeforeRest) {
        SetTimer(hwnd, kFollowTimer, kFollowAtRestMs, nullptr);
    }
}

// A tick that finds the cursor, size and zoom unchanged makes two cheap reads: the cursor, and
// whether a window came above the picker (the raise, the dearest call, is left out while it is on
// top). Moves over the picker come as messages, but a pointer that jumps beyond it (a quick flick,
// another program's SetCursorPos) reaches no window of the program under Wine, even with the
// mouse captured: the tick reads the cursor. It polls Esc, which the picker also takes as a key
// while it has the focus: the poll costs less than asking where the focus is. (The system sends
// no second tick while one waits, so ticks do not pile up.)
void OnFollowTick() {
    PaceFollowTick(g_picker.hwnd, UpdatePicker(false));
    OnEscPoll();
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
        case VK_ESCAPE: EndPicker(); break;
        case VK_RETURN: TakeColour(); break;
        case VK_LEFT: Nudge(-1, 0); break;
        case VK_RIGHT: Nudge(1, 0); break;
        case VK_UP: Nudge(0, -1); break;
        case VK_DOWN: Nudge(0, 1); break;
        default:
            // A repeated key finds the picker hidden and copies nothing more.
            if (key >= '1' && key <= '4' && g_picker.shown)
                CopyAndEnd(UINT(key), g_picker.colour);
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

// The monitor under the cursor, or the one nearest to it, and its rectangle; the virtual screen
// if the system says nothing.
struct MonitorPlace {
    HMONITOR monitor;
    PickerRect rect;
};

MonitorPlace MonitorAround(POINT cursor) {
    HMONITOR const monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        RECT const& r = info.rcMonitor;
        return {monitor, {int(r.left), int(r.top), int(r.right), int(r.bottom)}};
    }
    Picker const& p = g_picker;
    return {monitor, {p.screenLeft, p.screenTop, p.screenLeft + p.screenWidth, p.screenTop + p.screenHeight}};
}

// GetDpiForMonitor of Windows 8.1 and later, looked up when the picker first opens.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
int const kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
GetDpiForMonitorFn g_dpiForMonitor;
bool g_dpiForMonitorLookedUp;

// The monitor's DPI where the system tells it; the screen's otherwise (the same on every monitor).
UINT MonitorDpi(HMONITOR monitor) {
    if (!g_dpiForMonitorLookedUp) {
        g_dpiForMonitor =
            GetProcedure<GetDpiForMonitorFn>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
        g_dpiForMonitorLookedUp = true;
    }
    UINT x = 0, y = 0;
    if (g_dpiForMonitor && SUCCEEDED(g_dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return y;
    HDC const screen = GetDC(nullptr);
    int const dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : kUnscaledDpi;
}

// The window's size at the DPI: the requested size scaled, even, and no larger than the monitor.
void SizeForDpi(Picker* picker, const PickerRect& monitor) {
    int width = ScaledForDpi(picker->requestedWidth, picker->dpi);
    int height = ScaledForDpi(picker->requestedHeight, picker->dpi);
    FixRequestedSize(&width, &height, monitor.right - monitor.left, monitor.bottom - monitor.top);
    picker->currentWidth = width;
    picker->currentHeight = height;
}

// Crossing onto a monitor of another scale: the system's rectangle is not taken, the picker stays
// on the cursor at its new size.
void OnDpiChanged(UINT dpi) {
    if (!dpi || dpi == g_picker.dpi) return;
    g_picker.dpi = dpi;
    if (g_picker.shown) UpdatePicker(true);
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
    // In direct picker mode Esc ends the run at any time, the picker shown or not: while it is
    // hidden, this poll sees the key; while it is shown, its own key message or its follow tick.
    // Otherwise the program sleeps in the tray.
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
    // The monitor's DPI is read afresh: its scale may have changed while the picker was hidden.
    g_updateCache.monitor = nullptr;
    SetTimer(picker->hwnd, kFollowTimer, kFollowMs, nullptr);
    g_quietTicks = 0;
    KillTimer(picker->hwnd, kEscPollTimer);
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
    if (g_directPickerMode) SetTimer(picker->hwnd, kEscPollTimer, kEscPollMs, nullptr);
}

bool UpdatePicker(bool forced) {
    Picker* const picker = &g_picker;
    POINT cursor = {};
    GetCursorPos(&cursor);
    bool const unchanged =
        double(picker->zoom) == g_updateCache.zoom && cursor.x == g_updateCache.cursor.x &&
        cursor.y == g_updateCache.cursor.y && picker->requestedWidth == g_updateCache.width &&
        picker->requestedHeight == g_updateCache.height && picker->dpi == g_updateCache.dpi;
    if (forced || !unchanged) {
        MonitorPlace const place = MonitorAround(cursor);
        // Onto another monitor: its DPI. On the same one the DPI stays, which the system may also
        // have told the window.
        if (place.monitor != g_updateCache.monitor) picker->dpi = MonitorDpi(place.monitor);
        SizeForDpi(picker, place.rect);
        g_updateCache = {cursor,      picker->requestedWidth, picker->requestedHeight, double(picker->zoom),
                         picker->dpi, place.monitor};
        double const scale = double(picker->dpi) / kUnscaledDpi;
        PickerGeometry const geometry = ComputePickerGeometry(
            cursor.x, cursor.y, picker->currentWidth, picker->currentHeight, picker->zoom * scale, place.rect,
            ScaledForDpi(kFrameWidth, picker->dpi), ScaledForDpi(kStripHeight, picker->dpi));
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
    KeepOnTop(picker->hwnd);
    return forced || !unchanged;
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
                OnFollowTick();
            break;
        case WM_MOUSEMOVE:
            if (UpdatePicker(false)) PaceFollowTick(hwnd, true);
            return 1;
        case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam)); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: OnButtonDown(); break;
        case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wParam)); break;
        case WM_HSCROLL:
        case WM_VSCROLL: OnScroll(LOWORD(wParam)); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
