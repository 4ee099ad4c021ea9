#pragma once
#include <windows.h>

#include "picker/picker_window.h"
#include "settings/settings_store.h"

// Process-wide state of the application shell.

extern UINT const g_instanceMessage;   // registered under the product name before the entry point runs
extern StartSettings g_startSettings;  // the settings read at start; written by start-up alone
// The picker that the tray icon, the hot key, the picker button and a direct picker run open.
extern Picker g_picker;

// The main dialog and its toolbar; none until the main dialog exists. The message loop, the
// instance message and the tray icon's clicks reach the dialog through it.
class MainDialog {
  public:
    MainDialog();
    virtual ~MainDialog() {}
    HWND dialog = nullptr;
    HWND toolbar = nullptr;
};
extern MainDialog g_mainDialog;
