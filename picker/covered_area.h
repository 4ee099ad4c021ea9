#pragma once
#include <windows.h>
#include <stdint.h>

#include "base/scoped_gdi.h"

// A window of the program that is about to be hidden before the picker takes its snapshot: what
// the screen showed where the window was, so that the picker can wait until the screen shows what
// lies beneath it instead.
class CoveredArea {
  public:
    // Remembers the screen inside the window's rectangle, if the window is shown.
    explicit CoveredArea(HWND window);
    CoveredArea(const CoveredArea&) = delete;
    CoveredArea& operator=(const CoveredArea&) = delete;

    // Once the window is hidden: waits until the screen there has changed and settled, or a short
    // time has passed (at most 150 ms). At once when nothing was remembered.
    void WaitUntilRepainted();

  private:
    bool Checksum(uint32_t* crc);

    RECT rect_ = {};
    ScopedDC memory_;
    ScopedGdiObject<HBITMAP> bitmap_;
    const uint8_t* bits_ = nullptr;
    uint32_t before_ = 0;
    bool remembered_ = false;
};
