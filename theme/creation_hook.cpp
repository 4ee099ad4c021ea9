#include "theme/creation_hook.h"

#include "base/core/text.h"
#include "base/wide_text.h"
#include "theme/dark_controls.h"
#include "theme/dark_mode.h"
#include "theme/uxtheme.h"

namespace {

int const kClassNameChars = 256;

void TreatButton(HWND button) {
    AllowDarkModeForWindow(button);
    switch (GetWindowLongW(button, GWL_STYLE) & 0xF) {
        case BS_GROUPBOX: SetThemeOfWindow(button, L"Dark_Explorer", L"Groupbox"); break;
        case BS_AUTOCHECKBOX: SetThemeOfWindow(button, L"Explorer", L""); break;
        default: SetThemeOfWindow(button, L"Explorer", nullptr); break;
    }
}

void TreatHeader(HWND header) {
    AllowDarkModeForWindow(header);
    SetThemeOfWindow(header, L"ItemsView", nullptr);
}

void TreatEditOrComboBox(HWND window) {
    AllowDarkModeForWindow(window);
    SetThemeOfWindow(window, L"Explorer", nullptr);
}

void TreatRebar(HWND rebar) {
    AllowDarkModeForWindow(rebar);
    SubclassDarkRebar(rebar);
}

void TreatStatusBar(HWND statusBar) {
    AllowDarkModeForWindow(statusBar);
    SubclassDarkStatusBar(statusBar);
}

// Class names in lower case. Static controls, tab controls and toolbars are left as they are: the
// dialog paints the first and answers the toolbar's custom draw.
struct ClassTreatment {
    const char16_t* className;
    void (*treat)(HWND);
};
ClassTreatment const kTreatments[] = {
    {u"#32768", AllowDarkModeForWindow},  // popup menu
    {u"#32770", SubclassDarkDialog},      // dialog: allowed dark mode when it initialises
    {u"button", TreatButton},
    {u"sysheader32", TreatHeader},
    {u"syslistview32", SubclassDarkListView},
    {u"comboboxex32", TreatEditOrComboBox},
    {u"combobox", TreatEditOrComboBox},
    {u"edit", TreatEditOrComboBox},
    {u"rebarwindow32", TreatRebar},
    {u"msctls_statusbar32", TreatStatusBar},
};

void TreatNewWindow(HWND window) {
    wchar_t name[kClassNameChars] = {};
    GetClassNameW(window, name, kClassNameChars);
    CharLowerW(name);
    for (const ClassTreatment& treatment : kTreatments)
        if (EqualsText(Utf16(name), treatment.className)) treatment.treat(window);
}

}  // namespace

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_darkMode.supported && g_darkMode.enabled)
        TreatNewWindow(reinterpret_cast<HWND>(wParam));
    return g_darkMode.creationHook ? CallNextHookEx(g_darkMode.creationHook, code, wParam, lParam) : 0;
}
