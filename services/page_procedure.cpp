#include "services/page_procedure.h"

#include "res/resource.h"
#include "services/mail.h"
#include "services/site_address.h"
#include "services/uninstall.h"

namespace {

PageHost g_host;

void OnPickerPageCommand(HWND page, int id) {
    if (id == IDC_PICK && g_host.openPickerFromTray) g_host.openPickerFromTray();
    if ((id == IDC_HOTKEY || id == IDC_HOTKEY_WIN) && g_host.hotKeyFieldChanged)
        g_host.hotKeyFieldChanged(page);
}

void OnMorePageCommand(HWND page, int id) {
    switch (id) {
        case IDC_RECOMMEND: RecommendProgram(page); break;
        case IDC_SEND: SendProgram(page); break;
        case IDC_MORE_FREEWARE: OpenSitePage(SitePage::kMoreFreeware); break;
        case IDC_UNINSTALL: Uninstall({g_host.removeAutostart, g_host.endProgram}); break;
    }
}

void OnCommand(HWND page, int id) {
    int const current = g_host.currentPage ? g_host.currentPage() : -1;
    if (current == kPickerPage)
        OnPickerPageCommand(page, id);
    else if (current == kMorePage)
        OnMorePageCommand(page, id);
}

}  // namespace

void SetPageHost(const PageHost& host) {
    g_host = host;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) OnCommand(page, LOWORD(wParam));
    return FALSE;
}
