#pragma once
#include <windows.h>

#include "base/scoped_handle.h"

// Local GDI resources that release themselves in the way they were obtained, on every path out.
// Non-copyable: each handle has exactly one owner.

// A device context: from GetDC (released with ReleaseDC for the same window; null means the
// screen) or from CreateCompatibleDC (deleted with DeleteDC).
class ScopedDC {
  public:
    static ScopedDC ForWindow(HWND window);
    static ScopedDC Compatible(HDC dc);
    ~ScopedDC();
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;

    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }
    // Releases now; true when the system took the DC back. Later calls and the destructor do nothing.
    bool Release();
    // Hands a DC made by Compatible on to a long-lived owner, who deletes it.
    HDC Detach() {
        HDC const dc = dc_;
        dc_ = nullptr;
        return dc;
    }

  private:
    ScopedDC(HDC dc, HWND window, bool created) : dc_(dc), window_(window), created_(created) {}
    HDC dc_;
    HWND window_;
    bool created_;
};

// An object selected into a DC; the previous one goes back in at the end.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A pen, brush, font, bitmap or region, deleted at the end unless handed on with Detach. As a
// global it holds an object made once for the whole run, deleted at exit.
template <typename Handle>
using ScopedGdiObject = ScopedHandle<Handle, GdiObjectRelease>;
