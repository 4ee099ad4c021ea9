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

namespace {

int const kOpenWidth = 384;
int const kOpenHeight = 256;
int const kCreateSize = 128;
float const kCreateZoom = 10.0f;

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void SetZoom(Picker* picker, float zoom) {
    if (zoom == picker->zoom) return;
    picker->zoom = zoom;
    Redraw(picker->hwnd);
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

// Esc, and closing the picker by any other means (Alt+F4, a close request of another program): the
// picker hides and its window stays for the next opening; in direct picker mode the run ends.
void EndPicker(Picker* picker) {
    picker->Hide();
    if (picker->endsRun) PostQuitMessage(kExitDirectPicker);
}

void TakeColour(Picker* picker) {
    // Presses and keys already queued behind the one that took the colour find the picker hidden:
    // one picker starts one colour dialog.
    if (!picker->shown) return;
    picker->Hide();
    // What the label showed: the cursor may have moved on since the picker last followed it.
    WriteLastColour(picker->colour);
    if (DWORD const error = StartPaletteProcess()) ReportPaletteNotStarted(error);
    if (picker->endsRun) PostQuitMessage(kExitDirectPicker);
}

void OnEscPoll(Picker* picker) {
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) EndPicker(picker);
}

// Should the window go after all, the next opening makes a new one; a direct picker without its
// window has nothing left to show.
void OnWindowGone(Picker* picker) {
    ReleaseSnapshot(picker);
    picker->shown = false;
    picker->hwnd = nullptr;
    if (picker->endsRun) PostQuitMessage(kExitDirectPicker);
}

// Above other topmost windows: raised only when one has come above it.
void KeepOnTop(HWND hwnd) {
    if (GetWindow(hwnd, GW_HWNDPREV))
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// At rest the tick halves its pace: moves over the picker still come as messages at once, and a
// jump beyond it or Esc pressed elsewhere is seen within 20 ms, as the Esc poll of a hidden direct
// picker sees it. Any change brings the quick tick back.
void PaceFollowTick(Picker* picker, bool changed) {
    if (changed) {
        if (picker->quietTicks >= kTicksBeforeRest) SetTimer(picker->hwnd, kFollowTimer, kFollowMs, nullptr);
        picker->quietTicks = 0;
    } else if (++picker->quietTicks == kTicksBeforeRest) {
        SetTimer(picker->hwnd, kFollowTimer, kFollowAtRestMs, nullptr);
    }
}

// A tick that finds the cursor, size and zoom unchanged makes two cheap reads: the cursor, and
// whether a window came above the picker (the raise, the dearest call, is left out while it is on
// top). Moves over the picker come as messages, but a pointer that jumps beyond it (a quick flick,
// another program's SetCursorPos) reaches no window of the program under Wine, even with the
// mouse captured: the tick reads the cursor. It polls Esc, which the picker also takes as a key
// while it has the focus: the poll costs less than asking where the focus is. (The system sends
// no second tick while one waits, so ticks do not pile up.)
void OnFollowTick(Picker* picker) {
    PaceFollowTick(picker, picker->Update(false));
    OnEscPoll(picker);
}

// The cursor one pixel further, or ten with Shift, never off the virtual screen; the picker follows
// at once.
void Nudge(Picker* picker, int dx, int dy) {
    int const step = GetKeyState(VK_SHIFT) < 0 ? kShiftNudgeStep : kNudgeStep;
    POINT cursor = {};
    GetCursorPos(&cursor);
    int x = cursor.x, y = cursor.y;
    Picker const& p = *picker;
    NudgeCursor(&x, &y, dx * step, dy * step,
                {p.screenLeft, p.screenTop, p.screenLeft + p.screenWidth, p.screenTop + p.screenHeight});
    SetCursorPos(x, y);
    picker->Update(false);
}

void OnKeyDown(Picker* picker, WPARAM key) {
    switch (key) {
        case VK_F1: picker->Hide(); break;
        case VK_ESCAPE: EndPicker(picker); break;
        case VK_RETURN: TakeColour(picker); break;
        case VK_LEFT: Nudge(picker, -1, 0); break;
        case VK_RIGHT: Nudge(picker, 1, 0); break;
        case VK_UP: Nudge(picker, 0, -1); break;
        case VK_DOWN: Nudge(picker, 0, 1); break;
        default:
            // A repeated key finds the picker hidden and copies nothing more.
            if (key >= '1' && key <= '4' && picker->shown) {
                CopyForKey(UINT(key), picker->colour);
                picker->Hide();
            }
    }
}

void OnButtonDown(Picker* picker) {
    if (picker->openedByClick) {
        DWORD const position = GetMessagePos();
        DoubleClickLimits const limits = {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                                          GetSystemMetrics(SM_CYDOUBLECLK)};
        if (CompletesDoubleClick(picker->openingClick, unsigned(GetMessageTime()), GET_X_LPARAM(position),
                                 GET_Y_LPARAM(position), limits))
            return;
    }
    TakeColour(picker);
}

// By character, so that "+" and "-" zoom wherever the keyboard layout puts them, keypad included.
void OnChar(Picker* picker, WPARAM character) {
    if (character == '+')
        SetZoom(picker, ZoomIn(picker->zoom));
    else if (character == '-')
        SetZoom(picker, ZoomOut(picker->zoom));
}

void OnScroll(Picker* picker, WORD request) {
    if (request == SB_LINEUP || request == SB_PAGEUP)
        SetZoom(picker, ZoomOut(picker->zoom));
    else if (request == SB_LINEDOWN || request == SB_PAGEDOWN)
        SetZoom(picker, ZoomIn(picker->zoom));
}

void OnWheel(Picker* picker, short delta) {
    if (delta > 0)
        SetZoom(picker, ZoomIn(picker->zoom));
    else if (delta < 0)
        SetZoom(picker, ZoomOut(picker->zoom));
}

// The monitor under the cursor, or the one nearest to it, and its rectangle; the virtual screen
// if the system says nothing.
struct MonitorPlace {
    HMONITOR monitor;
    PickerRect rect;
};

MonitorPlace MonitorAround(const Picker* picker, POINT cursor) {
    HMONITOR const monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        RECT const& r = info.rcMonitor;
        return {monitor, {int(r.left), int(r.top), int(r.right), int(r.bottom)}};
    }
    Picker const& p = *picker;
    return {monitor, {p.screenLeft, p.screenTop, p.screenLeft + p.screenWidth, p.screenTop + p.screenHeight}};
}

int const kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// The monitor's DPI where the system tells it; the screen's otherwise (the same on every monitor).
UINT MonitorDpi(const Picker* picker, HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (picker->dpiForMonitor && SUCCEEDED(picker->dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y)
        return y;
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

// The picker on the cursor: the monitor's DPI and size, what it magnifies, the colour under the
// cursor and the cache the follow tick compares with. Returns where the window goes.
RECT Follow(Picker* picker, POINT cursor) {
    MonitorPlace const place = MonitorAround(picker, cursor);
    // Onto another monitor: its DPI. On the same one the DPI stays, which the system may also have
    // told the window.
    Picker::UpdateCache& cache = picker->updateCache;
    if (place.monitor != cache.monitor) picker->dpi = MonitorDpi(picker, place.monitor);
    SizeForDpi(picker, place.rect);
    UINT const dpi = picker->dpi;
    cache = {cursor, picker->requestedWidth, picker->requestedHeight, double(picker->zoom),
             dpi,    place.monitor};
    PickerGeometry const geometry =
        ComputePickerGeometry(cursor.x, cursor.y, picker->currentWidth, picker->currentHeight,
                              picker->zoom * (double(dpi) / kUnscaledDpi), place.rect,
                              ScaledForDpi(kFrameWidth, dpi), ScaledForDpi(kStripHeight, dpi));
    PickerRect const& s = geometry.source;
    PickerRect const& w = geometry.window;
    picker->source = {s.left, s.top, s.right, s.bottom};
    picker->box = {geometry.boxX, geometry.boxY};
    picker->colour = ColourAt(picker, cursor);
    return {w.left, w.top, w.right, w.bottom};
}

// Crossing onto a monitor of another scale: the system's rectangle is not taken, the picker stays
// on the cursor at its new size.
void OnDpiChanged(Picker* picker, UINT dpi) {
    if (!dpi || dpi == picker->dpi) return;
    picker->dpi = dpi;
    if (picker->shown) picker->Update(true);
}

void OnPaint(Picker* picker, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC const dc = BeginPaint(hwnd, &ps);
    PaintPicker(picker, dc);
    EndPaint(hwnd, &ps);
}

// The window is made for the object that CreateWindowExW was given, and finds it again by its user
// data. None before WM_NCCREATE: the first messages go to DefWindowProcW.
Picker* PickerOf(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* const picker = static_cast<Picker*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        picker->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picker));
        return picker;
    }
    return reinterpret_cast<Picker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Made at the first opening, and again should it have gone; only hidden and shown after that.
void MakeWindow(Picker* picker) {
    picker->zoom = CreationZoom(kCreateZoom);
    picker->currentWidth = kCreateSize;
    picker->currentHeight = kCreateSize;
    picker->dpiForMonitor =
        GetProcedure<decltype(picker->dpiForMonitor)>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DROPSHADOW | CS_PARENTDC;
    wc.lpfnWndProc = PickerWindowProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kPickerClassName;
    RegisterClassExW(&wc);

    if (!CreateWindowExW(WS_EX_TOPMOST, kPickerClassName, L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                         g_instance, picker))
        return;
    // In direct picker mode Esc ends the run at any time, the picker shown or not: while it is
    // hidden, this poll sees the key; while it is shown, its own key message or its follow tick.
    // Otherwise the program sleeps in the tray.
    if (picker->endsRun) SetTimer(picker->hwnd, kEscPollTimer, kEscPollMs, nullptr);
}

}  // namespace

Picker::~Picker() {
    // Its loss releases the snapshot.
    if (hwnd) DestroyWindow(hwnd);
}

void Picker::Open(PickerOpening opening) {
    if (!hwnd) MakeWindow(this);
    if (!hwnd) return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    openedByClick = opening == PickerOpening::kByClick;
    openingClick = {unsigned(GetTickCount()), int(cursor.x), int(cursor.y)};
    requestedWidth = kOpenWidth;
    requestedHeight = kOpenHeight;
    shown = true;
    CaptureScreen(this);
    FixRequestedSize(&requestedWidth, &requestedHeight, screenWidth, screenHeight);
    // The monitor's DPI is read afresh: its scale may have changed while the picker was hidden.
    updateCache.monitor = nullptr;
    quietTicks = 0;
    if (endsRun) KillTimer(hwnd, kEscPollTimer);
    // Placed, above every other topmost window and shown in one call, then painted at once: under
    // load each call to the Wine server or the X server before the show makes the user wait.
    RECT const w = Follow(this, cursor);
    SetWindowPos(hwnd, HWND_TOPMOST, w.left, w.top, w.right - w.left, w.bottom - w.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    UpdateWindow(hwnd);
    // No cursor over the picker: the box marks the pixel.
    SetCursor(nullptr);
    SetTimer(hwnd, kFollowTimer, kFollowMs, nullptr);
    SetFocus(hwnd);
    // The shell, which opens web pages from this thread, may need COM. After the show: the first
    // time it loads COM's libraries, and the picker must not wait for them.
    ComInitialize();
}

void Picker::Hide() {
    if (!shown) return;
    shown = false;
    ReleaseSnapshot(this);
    ShowWindow(hwnd, SW_HIDE);
    KillTimer(hwnd, kFollowTimer);
    if (endsRun) SetTimer(hwnd, kEscPollTimer, kEscPollMs, nullptr);
}

bool Picker::Update(bool forced) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    UpdateCache const& cache = updateCache;
    bool const unchanged = double(zoom) == cache.zoom && cursor.x == cache.cursor.x &&
                           cursor.y == cache.cursor.y && requestedWidth == cache.width &&
                           requestedHeight == cache.height && dpi == cache.dpi;
    if (forced || !unchanged) {
        RECT const w = Follow(this, cursor);
        SetCursor(nullptr);
        MoveWindow(hwnd, w.left, w.top, w.right - w.left, w.bottom - w.top, TRUE);
        Redraw(hwnd);
    }
    KeepOnTop(hwnd);
    return forced || !unchanged;
}

LRESULT CALLBACK PickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Picker* const picker = PickerOf(hwnd, message, lParam);
    if (!picker) return DefWindowProcW(hwnd, message, wParam, lParam);
    // A handled message answered here is not passed on; every other one goes on to DefWindowProcW.
    switch (message) {
        case WM_PAINT: OnPaint(picker, hwnd); return 1;
        case WM_CLOSE: EndPicker(picker); return 0;
        case WM_NCDESTROY: OnWindowGone(picker); break;
        case WM_ERASEBKGND:
            // The paint covers every pixel; erasing first would only flicker.
            return 1;
        case WM_SETCURSOR: SetCursor(nullptr); return 1;
        case WM_KEYDOWN: OnKeyDown(picker, wParam); break;
        case WM_CHAR: OnChar(picker, wParam); break;
        case WM_TIMER:
            if (wParam == kEscPollTimer)
                OnEscPoll(picker);
            else if (wParam == kFollowTimer)
                OnFollowTick(picker);
            break;
        case WM_MOUSEMOVE:
            if (picker->Update(false)) PaceFollowTick(picker, true);
            return 1;
        case WM_DPICHANGED: OnDpiChanged(picker, HIWORD(wParam)); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: OnButtonDown(picker); break;
        case WM_MOUSEWHEEL: OnWheel(picker, GET_WHEEL_DELTA_WPARAM(wParam)); break;
        case WM_HSCROLL:
        case WM_VSCROLL: OnScroll(picker, LOWORD(wParam)); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
