#include "picker/covered_area.h"

#include "base/core/crc32.h"
#include "base/system_library.h"

namespace {

// The picker opens this much later at most when the screen beneath keeps changing (a video).
DWORD const kRepaintWaitMs = 150;
DWORD const kRepaintPollMs = 4;
// An area the window left first shows the bare background, then what its owner paints there: the
// screen counts as repainted once it has stayed the same this long.
DWORD const kSettledMs = 20;
DWORD const kRoundTripMs = 30;

struct Beneath {
    RECT area;
    DWORD start;
};

// A round trip to each window of another program under the area: its thread has then taken in
// what reached it before, the news that part of it is uncovered among it, and goes on to repaint.
BOOL CALLBACK AskToRepaint(HWND window, LPARAM lParam) {
    Beneath const* const beneath = reinterpret_cast<const Beneath*>(lParam);
    if (GetTickCount() - beneath->start >= kRepaintWaitMs) return FALSE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT rect = {}, both = {};
    if (process == GetCurrentProcessId() || !IsWindowVisible(window) || !GetWindowRect(window, &rect) ||
        !IntersectRect(&both, &rect, &beneath->area))
        return TRUE;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRoundTripMs, &answer);
    return TRUE;
}

// With desktop composition every window keeps its own picture and the screen is composed from
// them: the first composition after the hide lacks the window, and DwmFlush waits for it. Without
// it, the programs beneath repaint what the window uncovered, each in its own time.
void WaitForComposition() {
    // Filled on first use rather than by a static's initialiser: that one would need the
    // thread-safe guard of libstdc++, which brings its exception and thread support into the exe.
    static HMODULE s_dwmapi;
    if (!s_dwmapi) s_dwmapi = LoadSystemLibrary(L"dwmapi.dll");
    HMODULE const dwmapi = s_dwmapi;
    using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
    using FlushFn = HRESULT(WINAPI*)();
    auto const isEnabled = GetProcedure<IsCompositionEnabledFn>(dwmapi, "DwmIsCompositionEnabled");
    auto const flush = GetProcedure<FlushFn>(dwmapi, "DwmFlush");
    BOOL enabled = FALSE;
    if (isEnabled && flush && SUCCEEDED(isEnabled(&enabled)) && enabled) flush();
}

}  // namespace

CoveredArea::CoveredArea(HWND window) : memory_(ScopedDC::Compatible(nullptr)), bitmap_(nullptr) {
    if (!window || !IsWindowVisible(window) || IsIconic(window) || !memory_.get()) return;
    RECT shown = {};
    GetWindowRect(window, &shown);
    int const left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int const top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT const screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!IntersectRect(&rect_, &shown, &screen)) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = rect_.right - rect_.left;
    info.bmiHeader.biHeight = -(rect_.bottom - rect_.top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const uint8_t*>(bits);
    remembered_ = bitmap_.get() && bits_ && Checksum(&before_);
}

bool CoveredArea::Checksum(uint32_t* crc) {
    int const width = rect_.right - rect_.left;
    int const height = rect_.bottom - rect_.top;
    ScopedDC const screen = ScopedDC::ForWindow(nullptr);
    ScopedSelect const select(memory_, bitmap_);
    if (!BitBlt(memory_, 0, 0, width, height, screen, rect_.left, rect_.top, SRCCOPY)) return false;
    GdiFlush();
    *crc = Crc32(bits_, size_t(width) * size_t(height) * 4);
    return true;
}

void CoveredArea::WaitUntilRepainted() {
    if (!remembered_) return;
    // Wine says it composes and returns from DwmFlush at once: the screen is watched all the same.
    WaitForComposition();
    DWORD const start = GetTickCount();
    Beneath const beneath = {rect_, start};
    EnumWindows(AskToRepaint, reinterpret_cast<LPARAM>(&beneath));
    uint32_t shown = before_;
    DWORD shownSince = start;
    for (;;) {
        uint32_t now = 0;
        if (!Checksum(&now)) return;
        DWORD const tick = GetTickCount();
        if (now != shown) {
            shown = now;
            shownSince = tick;
        } else if (shown != before_ && tick - shownSince >= kSettledMs) {
            return;
        }
        if (tick - start >= kRepaintWaitMs) return;
        Sleep(kRepaintPollMs);
    }
}
