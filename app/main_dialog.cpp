#include "app/main_dialog.h"

#include <ole2.h>

#include "app/autostart.h"
#include "app/banner.h"
#include "app/host_window.h"
#include "app/main_pages.h"
#include "base/display_scale.h"
#include "base/process_state.h"
#include "lang/language_menu.h"
#include "res/resource.h"
#include "services/page_procedure.h"
#include "services/site_address.h"
#include "settings/settings_store.h"
#include "theme/dark_mode.h"
#include "tray/tray_icon.h"

int g_startTray = 0;
int g_trayIfMinimize = 1;
int g_autostartState = 0;

namespace {

size_t const kRunValueNameChars = 128;

// Published before the dialog is made, so that its procedure finds it from the first message on.
MainDialog* g_published;

int CurrentPage() {
    return g_currentPage;
}

void ReapplyDialogTexts(HWND) {
    SetTitleAndToolbar(g_published);
}

void RemoveOwnAutostart() {
    ApplyAutostart(0);
}

// Uninstall ends the run with 0, as closing the host window does.
void EndAfterUninstall() {
    PostQuitMessage(0);
}

// At the size the dialog's DPI asks for; the icons they replace were made here too.
void SetIcons(HWND dialog, UINT dpi) {
    static bool const kSmallFirst[] = {true, false};
    for (bool small : kSmallFirst) {
        HICON const icon = LoadIconForDpi(g_instance, IDI_HUEPEEK, small, dpi);
        LRESULT const old =
            SendMessageW(dialog, WM_SETICON, small ? ICON_SMALL : ICON_BIG, reinterpret_cast<LPARAM>(icon));
        if (old) DestroyIcon(reinterpret_cast<HICON>(old));
    }
}

void EndProgram(HWND dialog, int result) {
    EndDialog(dialog, result);
    PostQuitMessage(1);
}

bool IsChecked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

BOOL OnInitDialog(MainDialog* mainDialog, HWND dialog) {
    SetIcons(dialog, WindowDpi(dialog));
    mainDialog->dialog = dialog;
    g_banner.owner = dialog;
    bool const dark = DarkModeInEffect();
    DrawBanner(&g_banner, dark ? IDB_BANNER_DARK : IDB_BANNER_LIGHT, IDC_BANNER, dark);
    SetPageHost(
        {CurrentPage, OpenPickerFromTray, OnHotKeyFieldChanged, RemoveOwnAutostart, EndAfterUninstall});
    BuildPages(mainDialog, dialog);
    SetTitleAndToolbar(mainDialog);
    wchar_t runValueName[kRunValueNameChars] = {};
    LoadStringW(g_instance, IDS_PRODUCT_CLASS, runValueName, int(kRunValueNameChars));
    g_autostartState = CheckAutostart(runValueName, false);
    CheckDlgButton(dialog, IDC_AUTOSTART, g_autostartState ? BST_CHECKED : BST_UNCHECKED);
    g_startTray = ReadSetting(Setting::kStartTray, g_startTray);
    g_trayIfMinimize = ReadSetting(Setting::kTrayIfMinimize, g_trayIfMinimize);
    CheckDlgButton(dialog, IDC_START_TRAY, g_startTray ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void SelectPageByTab(MainDialog* mainDialog, int page, int tabId) {
    SelectPage(mainDialog, page);
    MarkTab(mainDialog->dialog, tabId);
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
        case IDC_TAB_PICKER: SelectPageByTab(mainDialog, kPickerPage, IDC_TAB_PICKER); break;
        case IDC_TAB_INFO: SelectPageByTab(mainDialog, kInfoPage, IDC_TAB_INFO); break;
        case IDC_TAB_BLANK: SelectPageByTab(mainDialog, kBlankPage, IDC_TAB_BLANK); break;
        case IDC_TAB_MORE: SelectPageByTab(mainDialog, kMorePage, IDC_TAB_MORE); break;
        case IDC_LANGUAGE: ShowLanguageMenu(dialog, mainDialog->toolbar, ReapplyDialogTexts); break;
        case IDC_LICENCE: OpenSitePage(SitePage::kLicence); break;
        case IDC_DONATE: OpenSitePage(SitePage::kDonation); break;
        case IDC_FAQ: OpenSitePage(SitePage::kFaq); break;
    }
}

BOOL OnSysCommand(WPARAM command) {
    // The low four bits belong to the system.
    if ((command & 0xFFF0) != SC_MINIMIZE) return FALSE;
    // Consumed either way: with "tray_if_minimize" at 0 the dialog stays as it is.
    if (g_trayIfMinimize) SendMainDialogToTray();
    return TRUE;
}

INT_PTR DialogProc(MainDialog* mainDialog, HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(mainDialog, dialog);
        case WM_SYSCOMMAND: return OnSysCommand(wParam);
        case WM_COMMAND: OnCommand(mainDialog, dialog, LOWORD(wParam)); return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (!g_published) return FALSE;
    return DialogProc(g_published, dialog, message, wParam);
}

HWND CreateMainDialog(MainDialog* mainDialog, HWND owner) {
    g_published = mainDialog;
    mainDialog->dialog = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_MAIN), owner, MainDialogProc, 0);
    g_startTray = ReadSetting(Setting::kStartTray, g_startTray);
    if (!g_startTray && !g_backgroundFlag) {
        ShowWindow(mainDialog->dialog, SW_SHOW);
        // Painted now, before the start goes on with the tray icon.
        UpdateWindow(mainDialog->dialog);
    }
    return mainDialog->dialog;
}

void MarkTab(HWND dialog, int pressedId) {
    static int const kMarked[] = {IDC_TAB_PICKER, IDC_TAB_BLANK, IDC_TAB_INFO};
    for (int id : kMarked)
        if (HWND const tab = GetDlgItem(dialog, id))
            SendMessageW(tab, BM_SETCHECK, id == pressedId ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SendMainDialogToTray() {
    MinimizeToTray(&g_trayIcon, g_mainDialog.dialog);
    ShowWindow(g_mainDialog.dialog, SW_HIDE);
}
