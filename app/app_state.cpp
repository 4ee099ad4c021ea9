#include "app/app_state.h"

UINT const g_instanceMessage = RegisterWindowMessageW(L"Huepeek");
StartSettings g_startSettings;
Picker g_picker;
MainDialog g_mainDialog;

// Out of line, so that the object is made at start instead of being initial data: the table pointer
// of its virtual destructor alone would give the exe a data section (512 bytes).
MainDialog::MainDialog() {}
