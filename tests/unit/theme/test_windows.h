#pragma once
// Real windows for the theme tests: a dialog made from a template in memory, controls in it, and
// the screen's pixels over them.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/system_library.h"
#include "harness.h"
#include "screen_pixels.h"

namespace theme_test {

// While it lives, windows are made with the common controls the program's manifest asks for
// (version 6, with visual styles), as in huepeek.exe; the test program has no manifest of its own.
class ScopedProgramManifest {
  public:
    ScopedProgramManifest() {
        ACTCTXW context = {};
        context.cbSize = sizeof(context);
        context.lpSource = HUEPEEK_SOURCE_DIR L"/res/huepeek.manifest";
        context_ = CreateActCtxW(&context);
        if (context_ != INVALID_HANDLE_VALUE) ActivateActCtx(context_, &cookie_);
    }
    ~ScopedProgramManifest() {
        if (context_ == INVALID_HANDLE_VALUE) return;
        DeactivateActCtx(0, cookie_);
        ReleaseActCtx(context_);
    }
    ScopedProgramManifest(const ScopedProgramManifest&) = delete;
    ScopedProgramManifest& operator=(const ScopedProgramManifest&) = delete;
    bool Active() const { return context_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

// The common controls as the program has them: loaded from the system folder at run time.
inline void InitializeCommonControls() {
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto const init =
        GetProcedure<InitCommonControlsExFn>(LoadSideBySideLibrary(L"comctl32.dll"), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX const icc = {sizeof(INITCOMMONCONTROLSEX), 0x5FF | ICC_USEREX_CLASSES};
    if (init) init(&icc);
}

// A captioned dialog of the given size in dialog units, font "MS Shell Dlg" 8, no controls.
inline HWND CreateTestDialog(DLGPROC procedure, int width, int height, const wchar_t* title = L"Dark") {
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass;
        wchar_t text[64];
    } dialogTemplate = {};
    dialogTemplate.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME;
    dialogTemplate.dialog.cx = short(width);
    dialogTemplate.dialog.cy = short(height);
    // Title, then point size and face name, one after the other.
    wchar_t* out = dialogTemplate.text;
    lstrcpyW(out, title);
    out += lstrlenW(title) + 1;
    *out++ = 8;
    lstrcpyW(out, L"MS Shell Dlg");
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.dialog, nullptr, procedure,
                                      0);
}

// A child control with the dialog's font.
inline HWND AddControl(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                       int width, int height, int id = 0) {
    HWND const control =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog,
                        reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

// Dispatches what this thread has queued (paints included) until nothing is left.
inline void DispatchQueued() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Keeps this thread's windows going for a while, for a caller that waits for input to arrive.
inline void PumpMessages(DWORD forMs) {
    DWORD const start = GetTickCount();
    do {
        DispatchQueued();
        Sleep(10);
    } while (GetTickCount() - start < forMs);
}

inline RECT ScreenRectOf(HWND window, bool client) {
    RECT rect = {};
    if (!client) {
        GetWindowRect(window, &rect);
        return rect;
    }
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

using e2e::ScreenPixels;

// Lets the window paint and waits until the screen shows it the same twice in a row: the X server
// shows a paint a little after the window has made it. The window's thread is this one (its queue
// is dispatched here) or another (it is drained). False when the window does not settle.
inline bool Settled(HWND window) {
    bool const ours = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    std::vector<COLORREF> previous;
    return e2e::WaitUntil(
        [&] {
            if (ours)
                DispatchQueued();
            else if (!e2e::DrainMessages(window))
                return false;
            std::vector<COLORREF> now = ScreenPixels(ScreenRectOf(window, false)).Colours();
            bool const steady = !now.empty() && now == previous;
            previous.swap(now);
            return steady;
        },
        5000);
}

// The GDI objects this process holds. Wine's GetGuiResources answers 0, but its handle table
// accepts a bare slot number as a handle, so there the live objects are counted slot by slot.
inline int CountGdiObjects() {
    DWORD const counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return int(counted);
    int live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return live;
}

inline std::string ColourText(COLORREF colour) {
    return "RGB(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) + ", " +
           std::to_string(GetBValue(colour)) + ")";
}

}  // namespace theme_test
