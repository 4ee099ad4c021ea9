#include "base/display_scale.h"

#include <commctrl.h>

#include "base/system_library.h"

namespace {

HMODULE User32() {
    // Imported, so loaded already; SetProcessDPIAware is looked up in a handle of its own below.
    return GetModuleHandleW(L"user32.dll");
}

// Entry points of Windows 10 1607 and comctl32 6, looked up on first use. No static locals: their
// guarded initialisation would pull the C++ runtime's locking into the exe. Two threads that look
// one up at once find the same address.
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

struct ScaleEntries {
    bool found;
    GetDpiForSystemFn dpiForSystem;
    GetDpiForWindowFn dpiForWindow;
    GetSystemMetricsForDpiFn metricsForDpi;
    LoadIconMetricFn loadIconMetric;  // comctl32 6 only
};
ScaleEntries g_entries;

const ScaleEntries& Entries() {
    if (!g_entries.found) {
        HMODULE const user32 = User32();
        g_entries.dpiForSystem = GetProcedure<GetDpiForSystemFn>(user32, "GetDpiForSystem");
        g_entries.dpiForWindow = GetProcedure<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        g_entries.metricsForDpi = GetProcedure<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
        g_entries.loadIconMetric =
            GetProcedure<LoadIconMetricFn>(LoadSideBySideLibrary(L"comctl32.dll"), "LoadIconMetric");
        g_entries.found = true;
    }
    return g_entries;
}

}  // namespace

bool MakeProcessDpiAware(SetProcessDpiAwareFn setAware, IsProcessDpiAwareFn isAware) {
    bool const set = setAware && setAware();
    return isAware ? isAware() != FALSE : set;
}

bool MakeProcessDpiAware() {
    HMODULE const user32 = LoadSystemLibrary(L"user32.dll");  // kept: user32 is never unloaded anyway
    return MakeProcessDpiAware(GetProcedure<SetProcessDpiAwareFn>(user32, "SetProcessDPIAware"),
                               GetProcedure<IsProcessDpiAwareFn>(user32, "IsProcessDPIAware"));
}

UINT SystemDpi() {
    if (Entries().dpiForSystem) return Entries().dpiForSystem();
    HDC const screen = GetDC(nullptr);
    int const dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : kDefaultDpi;
}

UINT WindowDpi(HWND window) {
    UINT const dpi = Entries().dpiForWindow && window ? Entries().dpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
    if (Entries().metricsForDpi) return Entries().metricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), int(dpi), int(SystemDpi()));
}

HICON LoadIconForDpi(HINSTANCE instance, int id, bool small, UINT dpi) {
    // LoadIconMetric scales a larger image down well where the size itself is missing.
    HICON icon = nullptr;
    if (dpi == SystemDpi() && Entries().loadIconMetric &&
        SUCCEEDED(
            Entries().loadIconMetric(instance, MAKEINTRESOURCEW(id), small ? LIM_SMALL : LIM_LARGE, &icon)))
        return icon;
    int const side = MetricForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
}
