#pragma once
#include <windows.h>

// Process-wide state that every part of the program may read; set once by start-up.

size_t const kTitleChars = 256;
int const kExitDirectPicker = 45054;  // 0xAFFE: the picker ended by click or Esc in direct picker mode

extern HINSTANCE g_instance;                // the program's own module: every resource comes from it
extern wchar_t g_productName[kTitleChars];  // string resource 103, "Huepeek": window class and titles
