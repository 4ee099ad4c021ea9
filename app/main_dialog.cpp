#include "app/main_dialog.h"

#include <ole2.h>

#include "app/autostart.h"
#include "app/banner.h"
#include "app/host_window.h"
#include "app/main_pages.h"
#include "base/program_path.h"
#include "base/display_scale.h"
#include "base/process_state.h"
#include "base/scoped_handle.h"
#include "lang/language_menu.h"
#include "res/resource.h"
#include "services/site_address.h"
#include "settings/settings_store.h"
#include "theme/dark_mode.h"
#include "tray/tray_icon.h"

namespace {

// The dialog's choices: taken from the settings at creation, then changed by the user.
int g_startTray;       // "start_tray"
int g_trayIfMinimize;  // "tray_if_minimize"
int g_autostartState;  // "Start with Windows" as last read or set

size_t const kRunValueNameChars = 128;
// Posted once the dialog is painted (or made hidden): the pages not shown at start are made then,
// before any input reaches the dialog, since posted messages come before input.
UINT const kBuildHiddenPages = WM_APP + 1;

// Published before the dialog is made, so that its procedure finds it from the first message on.
MainDialog* g_published;
// The dialog's title-bar and task-switcher icons: a window does not destroy the icons it is given.
ScopedIcon g_bigIcon;
ScopedIcon g_smallIcon;

void ReapplyDialogTexts(HWND) {
    SetTitleAndToolbar(g_published);
}

// At the size the dialog's DPI asks for. A window does not destroy the icons it is given: the ones
// replaced here (at a DPI change, or of an earlier dialog) go when their owner takes the new ones.
void SetIcons(HWND dialog, UINT dpi) {
    static bool const kSmallFirst[] = {true, false};
    for (bool small : kSmallFirst) {
        HICON const icon = LoadIconForDpi(g_instance, IDI_HUEPEEK, small, dpi);
        SendMessageW(dialog, WM_SETICON, small ? ICON_SMALL : ICON_BIG, reinterpret_cast<LPARAM>(icon));
        (small ? g_smallIcon : g_bigIcon).Reset(icon);
    }
}

void EndProgram(HWND dialog, int result) {
    EndDialog(dialog, result);
    PostQuitMessage(1);
}

bool IsChecked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Composed for the banner control's size.
void DrawModeBanner() {
    bool const dark = DarkModeInEffect();
    DrawBanner(&g_banner, dark ? IDB_BANNER_DARK : IDB_BANNER_LIGHT, IDC_BANNER, dark);
}

BOOL OnInitDialog(MainDialog* mainDialog, HWND dialog, StartSettings const& settings) {
    SetIcons(dialog, WindowDpi(dialog));
    mainDialog->dialog = dialog;
    g_banner.owner = dialog;
    DrawModeBanner();
    g_startTray = settings.startTray;
    g_trayIfMinimize = settings.trayIfMinimize;
    BuildPages(mainDialog, dialog, settings.page);
    SetTitleAndToolbar(mainDialog);
    wchar_t runValueName[kRunValueNameChars] = {};
    LoadStringW(g_instance, IDS_PRODUCT_CLASS, runValueName, int(kRunValueNameChars));
    g_autostartState = CheckAutostart(runValueName, ProgramPath(), false);
    CheckDlgButton(dialog, IDC_AUTOSTART, g_autostartState ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_START_TRAY, g_startTray ? BST_CHECKED : BST_UNCHECKED);
    // The focus starts on the control that the shown page is for ("? Pixel ?" on the picker
    // page), where Enter does what the user came for, whatever the reading order.
    HWND const first = StartControlOfShownPage(dialog);
    if (!first) return TRUE;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    return FALSE;
}

// A page button pressed by a message sent from another program may come before the message that
// makes the pages not shown at start (sent messages come before posted ones): they are made then.
void ShowPageMadeNow(MainDialog* mainDialog, int page) {
    BuildHiddenPages(mainDialog);
    SelectPage(mainDialog, page);
}

void OnCommand(MainDialog* mainDialog, HWND dialog, int id) {
    switch (id) {
        case IDOK: EndProgram(dialog, IDOK); break;
        case IDCANCEL:
        case IDIGNORE:  // 5: answered like Escape, as the dialog always has
        case IDC_TO_TRAY: SendMainDialogToTray(); break;
        case IDC_START_TRAY:
            // A failed write keeps the new state for this run.
            g_startTray = IsChecked(dialog, IDC_START_TRAY);
            WriteSetting(Setting::kStartTray, g_startTray);
            break;
        case IDC_THANKS: OpenSitePage(SitePage::kThanks); break;
        case IDC_AUTOSTART:
            // The box keeps the user's choice whatever the registry says; the next start shows the truth.
            g_autostartState = IsChecked(dialog, IDC_AUTOSTART);
            ApplyAutostart(g_autostartState);
            break;
        case IDC_EXIT: EndProgram(dialog, IDC_EXIT); break;
        case IDC_TAB_PICKER: ShowPageMadeNow(mainDialog, kPickerPage); break;
        case IDC_TAB_INFO: ShowPageMadeNow(mainDialog, kInfoPage); break;
        case IDC_TAB_BLANK: ShowPageMadeNow(mainDialog, kBlankPage); break;
        case IDC_TAB_MORE: ShowPageMadeNow(mainDialog, kMorePage); break;
        case IDC_LANGUAGE: ShowLanguageMenu(dialog, mainDialog->toolbar, ReapplyDialogTexts); break;
        case IDC_LICENCE: OpenSitePage(SitePage::kLicence); break;
        case IDC_DONATE: OpenSitePage(SitePage::kDonation); break;
        case IDC_FAQ: OpenSitePage(SitePage::kFaq); break;
    }
}

// Moved onto a monitor of another scale: the dialog takes the rectangle the system suggests (the
// dialog manager computes its size from the template) and lays itself out for the new DPI.
void OnDpiChanged(MainDialog* mainDialog, HWND dialog, UINT dpi, RECT const& suggested) {
    SetIcons(dialog, dpi);
    MoveWindow(dialog, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, TRUE);
    FitMainDialogToDpi(mainDialog, dpi);
    DrawModeBanner();
}

BOOL OnSysCommand(WPARAM command) {
    // The low four bits belong to the system.
    if ((command & 0xFFF0) != SC_MINIMIZE) return FALSE;
    // Consumed either way: with "tray_if_minimize" at 0 the dialog stays as it is.
    if (g_trayIfMinimize) SendMainDialogToTray();
    return TRUE;
}

// The toolbar takes the focus as one control; its buttons are reached with the arrow keys and
// pressed with Enter or Space, as the system's toolbars do. The toolbar marks the button as hot.
bool OnToolbarKey(HWND dialog, HWND toolbar, WPARAM key) {
    int const count = int(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    int const hot = int(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0));
    int next = hot;
    switch (key) {
        case VK_LEFT:
        case VK_UP: next = hot < 0 ? count - 1 : hot > 0 ? hot - 1 : 0; break;
        case VK_RIGHT:
        case VK_DOWN: next = hot < count - 1 ? hot + 1 : count - 1; break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        case VK_RETURN:
        case VK_SPACE: {
            TBBUTTON button = {};
            if (SendMessageW(toolbar, TB_GETBUTTON, WPARAM(hot < 0 ? 0 : hot),
                             reinterpret_cast<LPARAM>(&button)))
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                             reinterpret_cast<LPARAM>(toolbar));
            return true;
        }
        default: return false;  // Tab, Escape and the rest as everywhere in the dialog
    }
    SendMessageW(toolbar, TB_SETHOTITEM, WPARAM(next), 0);
    return true;
}

INT_PTR DialogProc(MainDialog* mainDialog, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(mainDialog, dialog, *reinterpret_cast<StartSettings const*>(lParam));
        case WM_SYSCOMMAND: return OnSysCommand(wParam);
        case WM_DPICHANGED:
            OnDpiChanged(mainDialog, dialog, HIWORD(wParam), *reinterpret_cast<RECT const*>(lParam));
            return TRUE;
        case WM_COMMAND: OnCommand(mainDialog, dialog, LOWORD(wParam)); return FALSE;
        case kBuildHiddenPages: BuildHiddenPages(mainDialog); return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_published) return FALSE;
    return DialogProc(g_published, dialog, message, wParam, lParam);
}

HWND CreateMainDialog(MainDialog* mainDialog, HWND owner, StartSettings const& settings, bool hidden) {
    g_published = mainDialog;
    mainDialog->dialog = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_MAIN), owner, MainDialogProc,
                                            reinterpret_cast<LPARAM>(&settings));
    if (!g_startTray && !hidden) {
        ShowWindow(mainDialog->dialog, SW_SHOW);
        // Painted now, before the start goes on with the tray icon.
        UpdateWindow(mainDialog->dialog);
    }
    if (mainDialog->dialog) PostMessageW(mainDialog->dialog, kBuildHiddenPages, 0, 0);
    return mainDialog->dialog;
}

void MarkTab(HWND dialog, int pressedId) {
    static int const kMarked[] = {IDC_TAB_PICKER, IDC_TAB_BLANK, IDC_TAB_INFO, IDC_TAB_MORE};
    for (int id : kMarked)
        if (HWND const tab = GetDlgItem(dialog, id))
            SendMessageW(tab, BM_SETCHECK, id == pressedId ? BST_CHECKED : BST_UNCHECKED, 0);
    // A radio button gives up its tab stop when it is unchecked (checking one unchecks the others
    // of its group); these look and act as push buttons, and Tab visits each of them.
    for (int id : kMarked)
        if (HWND const tab = GetDlgItem(dialog, id))
            SetWindowLongW(tab, GWL_STYLE, GetWindowLongW(tab, GWL_STYLE) | WS_TABSTOP);
}

void SendMainDialogToTray() {
    MinimizeToTray(&g_trayIcon, g_mainDialog.dialog);
    ShowWindow(g_mainDialog.dialog, SW_HIDE);
}

bool HandleMainDialogKey(const MSG& msg) {
    HWND const dialog = g_mainDialog.dialog;
    if (msg.message != WM_KEYDOWN || !dialog || (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)))
        return false;
    if (msg.hwnd == g_mainDialog.toolbar && OnToolbarKey(dialog, msg.hwnd, msg.wParam)) return true;
    switch (msg.wParam) {
        case VK_TAB:
            // Also out of the usage text: a multi-line edit hands Tab to its page, which would
            // keep the focus among its own controls.
            SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0, 0);
            return true;
        case VK_ESCAPE:
            // Also from the usage text: a multi-line edit takes Escape for itself and closes only
            // its page, which does nothing with it.
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        case VK_RETURN: {
            // The dialog manager sends Enter on a page's button to the main dialog, where the
            // button's number means another command; the button's own page is where it belongs.
            HWND const focus = GetFocus();
            if (!(SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
                return false;
            SendMessageW(GetParent(focus), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                         reinterpret_cast<LPARAM>(focus));
            return true;
        }
    }
    return false;
}
