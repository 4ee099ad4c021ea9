#include "services/page_procedure.h"

#include "res/resource.h"
#include "services/site_address.h"

namespace {

PageHost g_host;

void OnPickerPageCommand(int id) {
    if (id == IDC_PICK && g_host.openPickerFromTray) g_host.openPickerFromTray();
}

void OnMorePageCommand(int id) {
    switch (id) {
        case IDC_MORE_FREEWARE: OpenSitePage(SitePage::kMoreFreeware); break;
        // Recommend, send by e-mail and uninstall come with those features.
        case IDC_RECOMMEND:
        case IDC_SEND:
        case IDC_UNINSTALL: break;
    }
}

void OnCommand(int id) {
    int const page = g_host.currentPage ? g_host.currentPage() : -1;
    if (page == kPickerPage)
        OnPickerPageCommand(id);
    else if (page == kMorePage)
        OnMorePageCommand(id);
}

}  // namespace

void SetPageHost(const PageHost& host) {
    g_host = host;
}

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) OnCommand(LOWORD(wParam));
    return FALSE;
}
