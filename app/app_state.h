#pragma once
#include <windows.h>

// Process-wide state of the application shell.

size_t const kTitleChars = 256;
int const kExitDirectPicker = 45054;  // 0xAFFE: the picker ended by click or Esc in direct picker mode

extern HINSTANCE g_instance;
extern int g_backgroundFlag;
extern int g_hideFlag;  // recorded; nothing consults it
extern int g_directPickerMode;
extern int g_disableDarkTheme;
extern wchar_t g_windowTitle[kTitleChars];
extern wchar_t g_windowClass[kTitleChars];
extern UINT const g_instanceMessage;  // registered under the product name before the entry point runs
extern HWND g_hostWindow;
extern int g_startTray;

// The main dialog and its toolbar; none until the dialog is created.
class MainDialog {
  public:
    virtual ~MainDialog() {}
    HWND dialog = nullptr;
    HWND toolbar = nullptr;
};
extern MainDialog g_mainDialog;
