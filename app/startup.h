#pragma once
#include <windows.h>

// The whole run: start-up in its order, then the message loop. Returns the process exit code.
int RunHuepeek(HINSTANCE instance, const wchar_t* commandLine);

// The first start-up step: registers the common controls' window classes (the toolbar among them).
void InitializeCommonControls();
