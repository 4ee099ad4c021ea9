#pragma once
// The picker page shows its note while another program holds the picker's hot key. Here this test
// holds the longest combination the field offers, Win+Ctrl+Alt+Shift+Page Down, stores it as the
// setting and lets the program ask for it, as a start would; all of it is given back at the end.
#include <windows.h>

#include "app/hot_key.h"
#include "base/process_state.h"
#include "picker/core/hot_key.h"
#include "settings/settings_store.h"

class TakenHotKey {
  public:
    TakenHotKey() {
        held_ = RegisterHotKey(nullptr, 1, MOD_WIN | MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_NEXT) != FALSE;
        WriteSetting(Setting::kHotKey,
                     MakeHotKey(kHotKeyWin | kHotKeyControl | kHotKeyAlt | kHotKeyShift, VK_NEXT));
        host_ =
            CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, g_instance, nullptr);
        ReadStartSettings(&start_);
        RegisterPickerHotKey(host_, start_);
    }
    ~TakenHotKey() {
        ReleasePickerHotKey();
        DestroyWindow(host_);
        UnregisterHotKey(nullptr, 1);
    }
    TakenHotKey(const TakenHotKey&) = delete;
    TakenHotKey& operator=(const TakenHotKey&) = delete;

    // This test holds the combination and the program was refused it.
    bool Taken() const { return held_ && PickerHotKeyTaken(); }
    StartSettings const& Start() const { return start_; }

  private:
    bool held_;
    HWND host_;
    StartSettings start_;
};
