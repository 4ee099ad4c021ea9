#pragma once
#include <windows.h>

// What the system theme leaves light when dark mode is in effect, painted by four subclass
// procedures, one per kind of window. Each kind keeps the procedure it replaced in one slot: at
// creation every window of a kind still has its class's procedure.

COLORREF const kDarkBackground = RGB(32, 32, 32);
COLORREF const kLightText = RGB(222, 222, 222);
COLORREF const kHighlightText = RGB(255, 255, 128);  // a selected or hot toolbar button
COLORREF const kStatusBarText = RGB(255, 255, 255);
COLORREF const kRebarTop = RGB(64, 64, 64);
COLORREF const kRebarBottom = RGB(0, 0, 0);

// The text colour of list-view headers: white from when the creation hook is installed (before it
// makes any list view dark) until a list view finds the "Header" theme's.
extern COLORREF g_headerTextColour;

void SubclassDarkDialog(HWND dialog);
// The list view is made dark once it exists; its header is created with it.
void SubclassDarkListView(HWND listView);
void SubclassDarkRebar(HWND rebar);
void SubclassDarkStatusBar(HWND statusBar);

// Fills the window's whole client height, across the device context's clip box, row by row from
// the top colour to the bottom colour.
void FillVerticalGradient(HWND window, HDC dc, COLORREF top, COLORREF bottom);
