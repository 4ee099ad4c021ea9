// What the picker costs on this machine, each figure beside the bare system operation it is built
// on, measured in the same run: opening the picker (the screen snapshot included), one forced
// update with its paint at the opening size, and the processor time the process uses while the
// picker is shown and the cursor rests. Calls the program's own picker functions. Prints figures;
// asserts nothing about time.
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "base/process_state.h"
#include "picker/picker_window.h"

namespace {

int const kOpenRuns = 31;
int const kUpdateRuns = 301;
DWORD const kRestMs = 5000;
UINT_PTR const kIdleTimer = 1;

double g_tickMs;

double NowMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * g_tickMs;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs a message loop for the given time, as the program's own loop would.
void PumpFor(DWORD ms) {
    double const end = NowMs() + ms;
    for (double now = NowMs(); now < end; now = NowMs()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now) + 1, QS_ALLINPUT);
        PumpMessages();
    }
}

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto const ms = [](const FILETIME& t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Counts the picker's paints while the cursor rests; the picker's own procedure does the rest.
WNDPROC g_pickerProcedure;
int g_paints;

LRESULT CALLBACK CountingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    return CallWindowProcW(g_pickerProcedure, hwnd, message, wParam, lParam);
}

struct VirtualScreen {
    int left, top, width, height;
};

VirtualScreen ReadVirtualScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The floor of a snapshot: a compatible bitmap of the virtual screen and one copy into it.
double BareCaptureMs(const VirtualScreen& screen) {
    double const start = NowMs();
    HDC const screenDc = GetDC(nullptr);
    HDC const memory = CreateCompatibleDC(screenDc);
    HBITMAP const bitmap = CreateCompatibleBitmap(screenDc, screen.width, screen.height);
    HGDIOBJ const previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, screen.width, screen.height, screenDc, screen.left, screen.top, SRCCOPY);
    GdiFlush();
    double const elapsed = NowMs() - start;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    return elapsed;
}

// A window whose 10 ms timer does nothing: the floor of a process that only waits for its ticks.
LRESULT CALLBACK IdleProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateIdleWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = IdleProcedure;
    wc.hInstance = g_instance;
    wc.lpszClassName = L"PickerBenchIdle";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, g_instance,
                           nullptr);
}

void PrintPair(const char* what, double value, const char* floorWhat, double floor, const char* unit) {
    printf("%-44s %9.3f %s\n", what, value, unit);
    printf("  floor: %-36s %9.3f %s   (%.1fx)\n", floorWhat, floor, unit, floor > 0 ? value / floor : 0.0);
}

}  // namespace

int wmain() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tickMs = 1000.0 / double(frequency.QuadPart);
    g_instance = GetModuleHandleW(nullptr);
    // The program runs DPI-aware, so the snapshot is in screen pixels.
    SetProcessDPIAware();

    VirtualScreen const screen = ReadVirtualScreen();
    POINT cursor = {};
    GetCursorPos(&cursor);
    printf("virtual screen %d,%d %dx%d; cursor at %ld,%ld\n", screen.left, screen.top, screen.width,
           screen.height, cursor.x, cursor.y);

    // Open: the first one creates the window and is left out; then hide and open again.
    Picker picker;
    picker.Open();
    PumpFor(100);
    if (!picker.hwnd || !picker.shown) {
        fprintf(stderr, "picker_bench: the picker did not open\n");
        return 1;
    }
    std::vector<double> open, capture;
    for (int run = 0; run < kOpenRuns; ++run) {
        picker.Hide();
        PumpFor(10);
        double const start = NowMs();
        picker.Open();
        open.push_back(NowMs() - start);
        PumpFor(10);
        capture.push_back(BareCaptureMs(screen));
    }
    printf("%dx%d picker, zoom %.0f\n", picker.currentWidth, picker.currentHeight, double(picker.zoom));
    PrintPair("open picker (snapshot, move, paint, show)", Median(open), "bitmap + BitBlt of the screen",
              Median(capture), "ms (median)");

    // One forced update: move to the cursor and paint at once.
    int const w = picker.currentWidth, h = picker.currentHeight;
    int const srcW = picker.source.right - picker.source.left;
    int const srcH = picker.source.bottom - picker.source.top;
    HDC const windowDc = GetDC(picker.hwnd);
    HDC const memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP const memoryBitmap = CreateCompatibleBitmap(windowDc, w, h);
    HGDIOBJ const previousBitmap = SelectObject(memoryDc, memoryBitmap);
    std::vector<double> update, paint, stretch, unchanged;
    for (int run = 0; run < kUpdateRuns; ++run) {
        double start = NowMs();
        picker.Update(true);
        update.push_back(NowMs() - start);

        // What every 10 ms tick costs while the cursor rests: compare, then only raise the window.
        start = NowMs();
        picker.Update(false);
        unchanged.push_back(NowMs() - start);

        start = NowMs();
        PaintPicker(&picker, memoryDc);
        paint.push_back(NowMs() - start);

        start = NowMs();
        int const previousMode = SetStretchBltMode(windowDc, COLORONCOLOR);
        StretchBlt(windowDc, 0, 0, w, h, picker.snapshotDc, picker.source.left - picker.screenLeft,
                   picker.source.top - picker.screenTop, srcW, srcH, SRCCOPY);
        SetStretchBltMode(windowDc, previousMode);
        stretch.push_back(NowMs() - start);
        PumpMessages();
    }
    SelectObject(memoryDc, previousBitmap);
    DeleteObject(memoryBitmap);
    DeleteDC(memoryDc);
    ReleaseDC(picker.hwnd, windowDc);
    char floorWhat[64];
    wsprintfA(floorWhat, "StretchBlt %dx%d -> %dx%d", srcW, srcH, w, h);
    PrintPair("Picker::Update(true) with its paint", Median(update), floorWhat, Median(stretch),
              "ms (median)");
    printf("  of which the paint alone (into a memory DC)  %9.3f ms (median)\n", Median(paint));
    printf("Picker::Update(false), nothing changed         %9.3f ms (median)\n", Median(unchanged));

    // The system calls a tick may make, each alone.
    std::vector<double> tick, raise, keyPoll, cursorRead, topCheck;
    for (int run = 0; run < kUpdateRuns; ++run) {
        double start = NowMs();
        SendMessageW(picker.hwnd, WM_TIMER, kFollowTimer, 0);
        tick.push_back(NowMs() - start);
        start = NowMs();
        SetWindowPos(picker.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        raise.push_back(NowMs() - start);
        start = NowMs();
        GetAsyncKeyState(VK_ESCAPE);
        keyPoll.push_back(NowMs() - start);
        start = NowMs();
        POINT at;
        GetCursorPos(&at);
        cursorRead.push_back(NowMs() - start);
        start = NowMs();
        GetWindow(picker.hwnd, GW_HWNDPREV);
        topCheck.push_back(NowMs() - start);
        PumpMessages();
    }
    printf("follow tick, nothing changed                   %9.3f ms (median)\n", Median(tick));
    printf("  of a tick: raise (SetWindowPos HWND_TOP)      %9.3f ms (median)\n", Median(raise));
    printf("  of a tick: Esc poll (GetAsyncKeyState)       %9.3f ms (median)\n", Median(keyPoll));
    printf("  of a tick: cursor read (GetCursorPos)        %9.3f ms (median)\n", Median(cursorRead));
    printf("  of a tick: window above? (GetWindow)         %9.3f ms (median)\n", Median(topCheck));

    // The cursor rests: the 10 ms follow timer runs, but nothing moves and nothing is painted.
    g_pickerProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(picker.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
    PumpFor(200);
    g_paints = 0;
    double const shownStart = ProcessCpuMs();
    double const shownWall = NowMs();
    PumpFor(kRestMs);
    double const shownCpu = ProcessCpuMs() - shownStart;
    double const shownElapsed = NowMs() - shownWall;
    int const restingPaints = g_paints;
    POINT after = {};
    GetCursorPos(&after);

    // Floor: the picker hidden (its 20 ms Esc poll still runs) and a window with a 10 ms timer
    // that does nothing.
    picker.Hide();
    HWND const idle = CreateIdleWindow();
    SetTimer(idle, kIdleTimer, 10, nullptr);
    PumpFor(200);
    double const idleStart = ProcessCpuMs();
    double const idleWall = NowMs();
    PumpFor(kRestMs);
    double const idleCpu = ProcessCpuMs() - idleStart;
    double const idleElapsed = NowMs() - idleWall;
    KillTimer(idle, kIdleTimer);
    DestroyWindow(idle);

    char what[64];
    wsprintfA(what, "CPU over %lu ms, picker shown, cursor at rest", kRestMs);
    // The system counts processor time in whole clock ticks (10 ms or more, depending on the system).
    PrintPair(what, shownCpu, "empty 10 ms timer, picker hidden", idleCpu, "ms");
    printf("  share of one core: %.2f %% (floor %.2f %%); paints while at rest: %d%s\n",
           100.0 * shownCpu / shownElapsed, 100.0 * idleCpu / idleElapsed, restingPaints,
           after.x == cursor.x && after.y == cursor.y ? "" : " (the cursor moved: not at rest)");
    return 0;
}
