#include "app/app_state.h"

UINT const g_instanceMessage = RegisterWindowMessageW(L"Huepeek");
StartSettings g_startSettings;
Picker g_picker;
MainDialog g_mainDialog;
