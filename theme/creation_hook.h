#pragma once
#include <windows.h>

// The WH_CBT hook of the user-interface thread: every window is made dark at its creation by its
// class, without the code that creates it knowing. It never blocks a creation.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
