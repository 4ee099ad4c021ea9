#include "app/app_state.h"

int g_backgroundFlag = 0;
UINT const g_instanceMessage = RegisterWindowMessageW(L"Huepeek");
StartSettings g_startSettings;
Picker g_picker;
MainDialog g_mainDialog;
