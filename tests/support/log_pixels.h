#pragma once
#include <windows.h>

// The user's display scaling (LogPixels) set for the programs started while it lives, and put back
// as it was afterwards. Wine reads it when a process starts.
class ScopedLogPixels {
  public:
    explicit ScopedLogPixels(DWORD dpi) {
        DWORD bytes = sizeof(old_);
        had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktop, kLogPixels, RRF_RT_REG_DWORD, nullptr, &old_,
                            &bytes) == ERROR_SUCCESS;
        set_ = RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, kLogPixels, REG_DWORD, &dpi, sizeof(dpi)) ==
               ERROR_SUCCESS;
    }
    ~ScopedLogPixels() {
        if (had_)
            RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, kLogPixels, REG_DWORD, &old_, sizeof(old_));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, kLogPixels);
    }
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
    bool Set() const { return set_; }

  private:
    static constexpr wchar_t const* kDesktop = L"Control Panel\\Desktop";
    static constexpr wchar_t const* kLogPixels = L"LogPixels";
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};
