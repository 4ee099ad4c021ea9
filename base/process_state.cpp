#include "base/process_state.h"

HINSTANCE g_instance = nullptr;
wchar_t g_productName[kTitleChars];
