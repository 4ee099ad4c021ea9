#include "base/process_state.h"

HINSTANCE g_instance = nullptr;
int g_directPickerMode = 0;
wchar_t g_productName[kTitleChars];
