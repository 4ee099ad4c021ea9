#include "theme/dark_controls.h"

#include <commctrl.h>

#include "base/core/text.h"
#include "base/scoped_gdi.h"
#include "base/wide_text.h"
#include "theme/core/gradient.h"
#include "theme/dark_mode.h"
#include "theme/uxtheme.h"

COLORREF g_headerTextColour;

namespace {

int const kClassNameChars = 256;
int const kStatusTextChars = 256;
// Theme parts and properties (vssym32.h).
int const kHeaderItemPart = 1;
int const kTextColourProperty = 3803;  // TMT_TEXTCOLOR
int const kFillColourProperty = 3802;  // TMT_FILLCOLOR

WNDPROC g_savedDialogProc;
WNDPROC g_savedListViewProc;
WNDPROC g_savedRebarProc;
WNDPROC g_savedStatusBarProc;

void Subclass(HWND window, WNDPROC procedure, WNDPROC* saved) {
    auto const previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    // A window that has ours already must not make the slot call itself.
    if (!previous || previous == procedure) return;
    *saved = previous;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// The dark background brush, shared by every dialog: made on first use, deleted at exit.
ScopedGdiObject<HBRUSH> g_darkBrush(nullptr);

HBRUSH DarkBackgroundBrush() {
    if (!g_darkBrush.get()) g_darkBrush.Reset(CreateSolidBrush(kDarkBackground));
    return g_darkBrush.get();
}

LRESULT OnControlColour(HDC dc) {
    SetTextColor(dc, kLightText);
    SetBkColor(dc, kDarkBackground);
    return reinterpret_cast<LRESULT>(DarkBackgroundBrush());
}

bool IsToolbar(HWND window) {
    wchar_t name[kClassNameChars] = {};
    GetClassNameW(window, name, kClassNameChars);
    return EqualsText(Utf16(name), u"ToolbarWindow32");
}

LRESULT OnToolbarCustomDraw(NMTBCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            draw->clrText =
                (draw->nmcd.uItemState & (CDIS_SELECTED | CDIS_HOT)) ? kHighlightText : kLightText;
            // The toolbar keeps the light theme: its face of a hot or pressed button is a light
            // one, on which the highlight text could not be read. The dialog's dark shows instead.
            return TBCDRF_USECDCOLORS | TBCDRF_NOBACKGROUND;
    }
    return CDRF_DODEFAULT;
}

// Custom draw of other controls is answered here, with the default drawing, and never reaches the
// dialog's own procedure.
LRESULT OnDialogCustomDraw(NMHDR* header) {
    if (!IsToolbar(header->hwndFrom)) return CDRF_DODEFAULT;
    return OnToolbarCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header));
}

LRESULT CALLBACK DarkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            AllowDarkModeForWindow(dialog);
            RefreshTitleBar(dialog);
            break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HDC>(wParam));
        case WM_NOTIFY: {
            auto const header = reinterpret_cast<NMHDR*>(lParam);
            if (header && header->code == UINT(NM_CUSTOMDRAW)) return OnDialogCustomDraw(header);
            break;
        }
    }
    return CallWindowProcW(g_savedDialogProc, dialog, message, wParam, lParam);
}

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window, message, wParam, lParam);
}

void SetListViewColours(HWND listView, COLORREF text, COLORREF background) {
    SendTo(listView, LVM_SETTEXTCOLOR, 0, LPARAM(text));
    SendTo(listView, LVM_SETTEXTBKCOLOR, 0, LPARAM(background));
    SendTo(listView, LVM_SETBKCOLOR, 0, LPARAM(background));
}

// The theme's colours, where it has them, win over the program's own.
void ApplyItemsViewColours(HWND listView, HWND header) {
    ThemeHandle const theme = OpenThemeOfWindow(header, L"ItemsView");
    if (!theme) return;
    COLORREF colour = 0;
    if (SUCCEEDED(ReadThemeColour(theme, 0, 0, kTextColourProperty, &colour)))
        SendTo(listView, LVM_SETTEXTCOLOR, 0, LPARAM(colour));
    if (SUCCEEDED(ReadThemeColour(theme, 0, 0, kFillColourProperty, &colour))) {
        SendTo(listView, LVM_SETTEXTBKCOLOR, 0, LPARAM(colour));
        SendTo(listView, LVM_SETBKCOLOR, 0, LPARAM(colour));
    }
    CloseTheme(theme);
}

void ReadHeaderTextColour(HWND header) {
    ThemeHandle const theme = OpenThemeOfWindow(header, L"Header");
    if (!theme) return;
    COLORREF colour = 0;
    if (SUCCEEDED(ReadThemeColour(theme, kHeaderItemPart, 0, kTextColourProperty, &colour)))
        g_headerTextColour = colour;
    CloseTheme(theme);
}

// Runs once the list view exists: before its creation it has neither its data nor its header, and
// ignores every list-view message.
void SetUpDarkListView(HWND listView) {
    if (!g_darkMode.supported || !g_darkMode.enabled) return;
    HWND const header = reinterpret_cast<HWND>(SendTo(listView, LVM_GETHEADER, 0, 0));
    SendTo(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
           LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    AllowDarkModeForWindow(header);
    SetThemeOfWindow(header, L"ItemsView", nullptr);
    AllowDarkModeForWindow(listView);
    SetThemeOfWindow(listView, L"Explorer", nullptr);
    ReadHeaderTextColour(header);
    SetListViewColours(listView, kLightText, kDarkBackground);
    ApplyItemsViewColours(listView, header);
    SendTo(listView, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
}

LRESULT CALLBACK DarkListViewProc(HWND listView, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            LRESULT const created = CallWindowProcW(g_savedListViewProc, listView, message, wParam, lParam);
            if (created != -1) SetUpDarkListView(listView);
            return created;
        }
        case WM_NOTIFY: {
            // The header's custom draw reaches its parent, the list view.
            auto const draw = reinterpret_cast<NMCUSTOMDRAW*>(lParam);
            if (!draw || draw->hdr.code != UINT(NM_CUSTOMDRAW)) break;
            if (draw->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw->dwDrawStage == CDDS_ITEMPREPAINT) {
                SetTextColor(draw->hdc, g_headerTextColour);
                return CDRF_DODEFAULT;
            }
            break;
        }
    }
    return CallWindowProcW(g_savedListViewProc, listView, message, wParam, lParam);
}

LRESULT CALLBACK DarkRebarProc(HWND rebar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        FillVerticalGradient(rebar, reinterpret_cast<HDC>(wParam), kRebarTop, kRebarBottom);
        return 1;
    }
    return CallWindowProcW(g_savedRebarProc, rebar, message, wParam, lParam);
}

// The status bar paints itself first; its text is then drawn again, white, over that painting.
void DrawStatusText(HWND statusBar) {
    ScopedDC const dc = ScopedDC::ForWindow(statusBar);
    RECT rect = {};
    GetClientRect(statusBar, &rect);
    wchar_t text[kStatusTextChars] = L"-------------";
    GetWindowTextW(statusBar, text, kStatusTextChars);
    auto const font = reinterpret_cast<HFONT>(SendTo(statusBar, WM_GETFONT, 0, 0));
    ScopedSelect const selectFont(dc, font);
    int const oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF const oldColour = SetTextColor(dc, kStatusBarText);
    rect.left += GetSystemMetrics(SM_CXSMICON) / 2;
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

LRESULT CALLBACK DarkStatusBarProc(HWND statusBar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        CallWindowProcW(g_savedStatusBarProc, statusBar, message, wParam, lParam);
        DrawStatusText(statusBar);
        return 1;
    }
    return CallWindowProcW(g_savedStatusBarProc, statusBar, message, wParam, lParam);
}

}  // namespace

void SubclassDarkDialog(HWND dialog) {
    Subclass(dialog, DarkDialogProc, &g_savedDialogProc);
}

void SubclassDarkListView(HWND listView) {
    Subclass(listView, DarkListViewProc, &g_savedListViewProc);
}

void SubclassDarkRebar(HWND rebar) {
    Subclass(rebar, DarkRebarProc, &g_savedRebarProc);
}

void SubclassDarkStatusBar(HWND statusBar) {
    Subclass(statusBar, DarkStatusBarProc, &g_savedStatusBarProc);
}

void FillVerticalGradient(HWND window, HDC dc, COLORREF top, COLORREF bottom) {
    RECT clip = {};
    GetClipBox(dc, &clip);
    RECT client = {};
    GetClientRect(window, &client);
    ForEachGradientRow(top, bottom, client.bottom - client.top, [&](int row, uint32_t colour) {
        COLORREF const previous = SetBkColor(dc, colour);
        if (previous == CLR_INVALID) return;
        RECT const line = {clip.left, client.top + row, clip.right, client.top + row + 1};
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
        SetBkColor(dc, previous);
    });
}
