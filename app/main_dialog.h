#pragma once
#include <windows.h>

#include "app/app_state.h"

// The main dialog: banner, page buttons, the framed page area, two check boxes and the toolbar.

// Creates the modeless dialog without owner, on the page and with the choices of settings, and shows
// it unless "start_tray" or hidden ("-bg") says otherwise. Returns the dialog, or null.
HWND CreateMainDialog(MainDialog* mainDialog, HWND owner, StartSettings const& settings, bool hidden);
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Checks the page button pressedId and unchecks the others (none checked for 0).
void MarkTab(HWND dialog, int pressedId);

// Keys that the dialog manager would send astray, taken before it sees them: Enter on a focused push
// button presses that button (also one on a page), Escape from any control sends the dialog to the
// tray, Tab leaves the usage text too, and the arrow keys, Enter and Space work the toolbar. True
// when the message was handled.
bool HandleMainDialogKey(const MSG& msg);

// Sends the main dialog to the notification area.
void SendMainDialogToTray();
