#pragma once
#include <windows.h>

#include "picker/picker_window.h"

// The hidden top-level window that lives for the whole normal run: it receives the tray icon's
// notifications and the instance message of a second start, and sends itself the start command.

WORD const kStartCommand = 104;
// 0x00CF0002: WS_OVERLAPPEDWINDOW and the class-specific bit 0x0002, which this class ignores.
DWORD const kHostWindowStyle = WS_OVERLAPPEDWINDOW | 0x0002;

ATOM RegisterHostWindowClass(HINSTANCE instance);
// background: "-bg", the main dialog stays hidden at start.
int CreateHostWindow(HINSTANCE instance, bool background);
LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void OpenPickerFromTray(PickerOpening opening);
// The picker's hot key: a left click on the tray icon, unless the picker is open already.
void OnPickerHotKey();
void TrayClick(UINT mouseMessage);
