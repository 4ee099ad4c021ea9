#include "app/app_state.h"

HINSTANCE g_instance = nullptr;
int g_backgroundFlag = 0;
int g_hideFlag = 0;
int g_directPickerMode = 0;
int g_disableDarkTheme = 0;
wchar_t g_windowTitle[kTitleChars];
wchar_t g_windowClass[kTitleChars];
UINT const g_instanceMessage = RegisterWindowMessageW(L"Huepeek");
HWND g_hostWindow = nullptr;
int g_startTray = 0;
MainDialog g_mainDialog;
