#pragma once
#include <windows.h>

// The notification area on the screen as the shell shows it now.
RECT NotificationAreaOnScreen();

// Whether the system animates minimizing (SPI_GETANIMATION).
bool MinimizeAnimationOn();
// The system's minimize animation (DrawAnimatedRects with IDANI_CAPTION).
void AnimateToTray(HWND window, const RECT& from, const RECT& to);

// The system's entry points for both, looked up in user32 at run time.
using DrawAnimatedRectsFn = BOOL(WINAPI*)(HWND, int, const RECT*, const RECT*);
using SystemParametersInfoFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT);
extern DrawAnimatedRectsFn g_drawAnimatedRects;
extern SystemParametersInfoFn g_systemParametersInfo;
