#pragma once
#include <windows.h>

// The dialog procedure of the main dialog's four pages: it acts on the buttons of the page that is
// current when they are pressed, and leaves every message to the dialog manager as well.

int const kPickerPage = 0;
int const kInfoPage = 1;
int const kBlankPage = 2;
int const kMorePage = 3;

// What the pages reach in the application shell above them; set once by the main dialog.
struct PageHost {
    int (*currentPage)();
    void (*openPickerFromTray)();
    void (*hotKeyFieldChanged)(HWND page);  // the hot-key field or its "Win" box
    void (*removeAutostart)();              // this program's "Start with Windows" entry
    void (*endProgram)();                   // after uninstall
};
void SetPageHost(const PageHost& host);

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
