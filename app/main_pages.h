#pragma once
#include <windows.h>
#include <commctrl.h>

#include "app/app_state.h"

// What the main dialog shows: its four pages, the toolbar of text buttons, the title, and every
// language-dependent text of the dialog and its pages.

int const kPickerPage = 0;
int const kInfoPage = 1;
int const kBlankPage = 2;
int const kMorePage = 3;
int const kPageCount = 4;
// 0x5600994C: text buttons in a flat, transparent row that its parent neither places nor sizes.
DWORD const kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT |
                            TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                            CCS_NOPARENTALIGN | CCS_NORESIZE;
static_assert(kToolbarStyle == 0x5600994C, "the toolbar's style");

extern int g_currentPage;  // the page selected last, except that selecting page 2 leaves 0 here
extern HWND g_pages[kPageCount];

// The procedure of the four pages: it acts on the buttons of the page that is current when they are
// pressed, and leaves every message to the dialog manager as well.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the toolbar in the place of its placeholder and the page that the dialog opens on, then
// shows storedPage, the page that "c_wnd" holds; SetTitleAndToolbar follows with the texts.
void BuildPages(MainDialog* mainDialog, HWND dialog, int storedPage);
// Makes the pages that BuildPages left, hidden, laid out, with their texts and in the tab order, as
// if they had been made with it (also after a change of DPI or language in between).
void BuildHiddenPages(MainDialog* mainDialog);
void SelectPage(MainDialog* mainDialog, int page);
// Lays the dialog's controls, pages and toolbar out again with fonts for dpi: each where a dialog
// made at that DPI has it.
void FitMainDialogToDpi(MainDialog* mainDialog, UINT dpi);
// Rebuilds the toolbar with the current language's texts, sets the title and every text, and
// selects the current page again. Also run after a language change.
void SetTitleAndToolbar(MainDialog* mainDialog);

// Where the focus starts: the control that the page shown is for, else that page's button; null
// when no page is shown.
HWND StartControlOfShownPage(HWND dialog);

HWND CreateToolbar(DWORD exStyle, DWORD style, HWND parent, int placeholderId);
void AddToolbarButton(HWND toolbar, const wchar_t* text, int commandId, int imageIndex, BYTE buttonStyle);
// The button's rectangle in the toolbar's client coordinates.
bool ToolbarButtonRect(HWND toolbar, int commandId, RECT* rect);

// The user changed the picker page's hot-key field or its "Win" box: the combination they show is
// registered at once and stored.
void OnHotKeyFieldChanged(HWND page);
