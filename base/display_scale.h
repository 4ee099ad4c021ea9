#pragma once
#include <windows.h>

// The display scale. The manifest makes the program per-monitor aware (v2), and system aware where
// the system knows no more; every window is laid out in physical pixels at the DPI of its monitor.
// The entry points of newer systems are looked up at run time, with the system's DPI in their place
// where they are missing.

UINT const kDefaultDpi = 96;  // 100 %

using SetProcessDpiAwareFn = BOOL(WINAPI*)();
using IsProcessDpiAwareFn = BOOL(WINAPI*)();

// Asks for system awareness (SetProcessDPIAware) for systems that do not honour the manifest's
// setting, and tells whether the process is DPI aware now. The request fails where the manifest has
// set the awareness already; what counts is the process's awareness (IsProcessDPIAware), and only
// where that cannot be asked, the request's success.
bool MakeProcessDpiAware();
bool MakeProcessDpiAware(SetProcessDpiAwareFn setAware, IsProcessDpiAwareFn isAware);

UINT SystemDpi();                       // the primary monitor's at start-up, which the shell also uses
UINT WindowDpi(HWND window);            // the DPI of the window's monitor, as the system last told the window
int MetricForDpi(int index, UINT dpi);  // GetSystemMetrics as it is at that DPI

// Icon resource id at the size of a small (SM_CXSMICON) or large (SM_CXICON) icon at the DPI: through
// LoadIconMetric at the system's DPI where comctl32 has it, else the image of the size for the DPI.
// The caller destroys it.
HICON LoadIconForDpi(HINSTANCE instance, int id, bool small, UINT dpi);
