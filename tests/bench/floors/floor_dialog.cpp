// One modeless dialog of the main dialog's size and font, shown at once: the floor of the time from
// start to a visible dialog.
#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dialog);
        PostQuitMessage(0);
    }
    return FALSE;
}

// DLGTEMPLATE, no menu, the default class, a title, then DS_SETFONT's point size and face name.
struct Template {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    wchar_t title[13];
    WORD pointSize;
    wchar_t face[13];
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    static Template const dialog = {
        {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, 388, 201},
        0,
        0,
        L"Floor dialog",
        8,
        L"MS Shell Dlg",
    };
    HWND const window = CreateDialogIndirectParamW(instance, &dialog.header, nullptr, DialogProc, 0);
    ShowWindow(window, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
