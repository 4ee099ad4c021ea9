#pragma once
// Reading and driving the main dialog of a running huepeek.exe from the test process.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The main dialog of the process (visible or not), or null.
HWND FindMainDialog(DWORD processId);
HWND WaitForMainDialog(DWORD processId, DWORD timeoutMs);
// The visible page (a child dialog of the main dialog), or null.
HWND VisiblePage(HWND mainDialog);
std::vector<HWND> Pages(HWND mainDialog);
HWND Toolbar(HWND mainDialog);
// Text of a toolbar button of another process, read through memory lent in that process.
std::wstring ToolbarButtonText(HWND toolbar, int commandId);
// The button's rectangle in screen coordinates.
RECT ToolbarButtonRectOnScreen(HWND toolbar, int commandId);
bool IsChecked(HWND button);
// Clicks at a point on the screen as a user does: the pointer comes in from outside every window,
// so that X gives the focus to the window under it (a window that appears under a resting
// pointer does not get it).
void ClickAt(int x, int y);
void ClickCentre(HWND window);
// Posts WM_COMMAND with the control ID as a click of that control would.
void Command(HWND dialog, int id);
// The setting as stored, or "" when absent.
std::wstring StoredSetting(const wchar_t* name);

}  // namespace e2e
