#include "picker/palette_dialog.h"

#include <commdlg.h>

#include "base/core/text.h"
#include "base/process_state.h"
#include "base/system_library.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "picker/clipboard_export.h"
#include "picker/core/colour_forms.h"
#include "picker/core/custom_colour_history.h"
#include "picker/hue_rounding.h"
#include "services/site_address.h"
#include "settings/settings_store.h"
#include "theme/uxtheme.h"

COLORREF g_customColours[kCustomColourCount];
COLORREF g_dialogColour = 0;
HWND g_infoBox = nullptr;
RECT g_infoRect = {};
int g_controlsCreated = 0;

namespace {

// The system colour dialog's red, green and blue edit fields.
int const kRedField = 706;
int const kGreenField = 707;
int const kBlueField = 708;
int const kExtraHeight = 40;
int const kWebButtonHeight = 30;
size_t const kFieldTextChars = 64;

static_assert(kHistoryBoxes == kCustomColourCount, "one box per stored custom colour");

// The boxes as the dialog opened, to tell what the user changed.
uint32_t g_openedColours[kCustomColourCount];

// The stored history goes one box further on: the first box always starts black, ready for a new
// colour.
void LoadCustomColours() {
    for (COLORREF& slot : g_customColours) slot = 0;
    for (int i = 0; i < kCustomColourCount - 1; ++i)
        g_customColours[i + 1] = ReadCustomColour(i, g_customColours[i + 1]);
    for (int i = 0; i < kCustomColourCount; ++i) g_openedColours[i] = g_customColours[i];
}

// Only a colour put into the first box makes a new history. It is merged with the history as
// stored now, not as it was at the start: another colour dialog may have stored colours meanwhile.
void SaveCustomColours() {
    uint32_t closed[kCustomColourCount];
    uint32_t storedNow[kCustomColourCount - 1];
    uint32_t merged[kCustomColourCount];
    for (int i = 0; i < kCustomColourCount; ++i) closed[i] = g_customColours[i];
    for (int i = 0; i < kCustomColourCount - 1; ++i) storedNow[i] = ReadCustomColour(i, 0);
    if (!MergeCustomColours(g_openedColours, closed, storedNow, merged)) return;
    for (int i = 0; i < kCustomColourCount; ++i) WriteCustomColour(i, merged[i]);
}

int LineTop(HWND edit, int line) {
    LRESULT const index = SendMessageW(edit, EM_LINEINDEX, WPARAM(line), 0);
    return short(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, WPARAM(index), 0)));
}

// The space the dialog gains is fixed, but the height of a text line is the system's: with small
// window frames (Wine's) the last help line would be cut off. The info box then takes what is free
// below the button, and never more.
void FitInfoBox(HWND dialog) {
    HWND const button = GetDlgItem(dialog, kWebButtonId);
    // The text ends with a line end; the edit counts the empty line behind it.
    int const lines = int(SendMessageW(g_infoBox, EM_GETLINECOUNT, 0, 0)) - 1;
    if (!button || lines < 2) return;
    int const lineHeight = LineTop(g_infoBox, 1) - LineTop(g_infoBox, 0);
    RECT format = {};
    SendMessageW(g_infoBox, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int const missing = lines * lineHeight - (format.bottom - format.top);
    RECT client;
    GetClientRect(dialog, &client);
    int const spare = client.bottom - (g_infoRect.bottom + kWebButtonHeight);
    int const grow = missing < spare ? missing : spare;
    if (grow <= 0) return;
    g_infoRect.bottom += grow;
    RECT const& info = g_infoRect;
    MoveWindow(g_infoBox, info.left, info.top, info.right - info.left, info.bottom - info.top, TRUE);
    MoveWindow(button, info.left, info.bottom, info.right - info.left, kWebButtonHeight, TRUE);
}

void ShowInfoText(HWND dialog) {
    if (!g_infoBox) return;
    const char16_t* help[kTextHelpCount];
    for (int i = 0; i < kTextHelpCount; ++i) help[i] = Utf16(Text(kTextHelpFirst + i));
    wchar_t text[kInfoTextChars];
    InfoText(g_dialogColour, RoundHueHalfEven, help, Utf16(text), kInfoTextChars);
    SetWindowTextW(g_infoBox, text);
    FitInfoBox(dialog);
}

int ReadFieldByte(HWND dialog, int id) {
    wchar_t text[kFieldTextChars] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, int(kFieldTextChars));
    return ParseSettingNumber(Utf16(text)) & 0xFF;
}

void ReadDialogColour(HWND dialog) {
    int const red = ReadFieldByte(dialog, kRedField);
    int const green = ReadFieldByte(dialog, kGreenField);
    int const blue = ReadFieldByte(dialog, kBlueField);
    g_dialogColour = COLORREF(red | green << 8 | blue << 16);
    SetWindowTextW(dialog, g_productName[0] ? g_productName : L"Huepeek");
    ShowInfoText(dialog);
}

// Centred on a visible owner, else on the work area, and kept inside the work area.
void CentreDialog(HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    int const width = rect.right - rect.left;
    int const height = rect.bottom - rect.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    if (HWND const owner = GetWindow(dialog, GW_OWNER)) {
        LONG const style = GetWindowLongW(owner, GWL_STYLE);
        if ((style & WS_VISIBLE) && !(style & WS_MINIMIZE)) GetWindowRect(owner, &area);
    }
    int x = (area.left + area.right) / 2 - width / 2;
    int y = (area.top + area.bottom) / 2 - height / 2;
    if (x < work.left)
        x = work.left;
    else if (x + width > work.right)
        x = work.right - width;
    if (y < work.top)
        y = work.top;
    else if (y + height > work.bottom)
        y = work.bottom - height;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateExtraControls(HWND dialog) {
    DWORD const childStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    RECT const& info = g_infoRect;
    g_infoBox =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", nullptr, childStyle | ES_MULTILINE, info.left, info.top,
                        info.right - info.left, info.bottom - info.top, dialog, nullptr, g_instance, nullptr);
    WPARAM const font = WPARAM(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HWND const button =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"Button", BuiltInSiteAddress(true), childStyle, info.left,
                        info.bottom, info.right - info.left, kWebButtonHeight, dialog,
                        reinterpret_cast<HMENU>(INT_PTR(kWebButtonId)), g_instance, nullptr);
    // A plain button: drawn without visual styles.
    SetThemeOfWindow(button, L"", L"");
    SendMessageW(g_infoBox, WM_SETFONT, font, FALSE);
    SendMessageW(button, WM_SETFONT, font, FALSE);
}

void OnInitDialog(HWND dialog) {
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int const newHeight = int((window.bottom - window.top) * 1.5);
    SetWindowPos(dialog, HWND_TOP, window.left, window.top, window.right - window.left,
                 newHeight + kExtraHeight, 0);
    CentreDialog(dialog);
    RECT newClient;
    GetClientRect(dialog, &newClient);
    // The 40 extra pixels leave room for the button below the info box as long as the frame is
    // thinner than that; a thicker frame (large captions, high DPI) would cut the button off, so
    // the info box gives way instead.
    int infoBottom = newHeight - kWebButtonHeight;
    if (infoBottom > newClient.bottom - kWebButtonHeight) infoBottom = newClient.bottom - kWebButtonHeight;
    g_infoRect = {0, client.bottom - client.top, newClient.right - newClient.left, infoBottom};
    if (!g_infoBox) CreateExtraControls(dialog);
    g_controlsCreated = 1;
}

void OnCommand(HWND dialog, int id, int code, HWND control) {
    if (code == EN_CHANGE && control != g_infoBox) {
        ReadDialogColour(dialog);
        // Once more after the last change: the dialog may still adjust its fields after telling us.
        KillTimer(dialog, kInfoRefreshTimer);
        SetTimer(dialog, kInfoRefreshTimer, kInfoRefreshMs, nullptr);
    }
    if (id == kWebButtonId) OpenThankYouPage();
}

void OnRefreshTimer(HWND dialog) {
    KillTimer(dialog, kInfoRefreshTimer);
    if (g_controlsCreated) ShowInfoText(dialog);
}

void OnKeyDown(WPARAM key) {
    if (key < '1' || key > '4') return;
    CopyForKey(UINT(key), g_dialogColour);
    // Ends the dialog's modal loop; ChooseColorW then returns and the history is saved.
    PostQuitMessage(1);
}

}  // namespace

UINT_PTR CALLBACK PaletteHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); break;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_TIMER:
            if (wParam == kInfoRefreshTimer) OnRefreshTimer(dialog);
            break;
        case WM_KEYDOWN: OnKeyDown(wParam); break;
    }
    return 0;
}

int RunPaletteDialog(COLORREF colour, HWND owner) {
    // The keys copy this colour until a field of the dialog changes.
    g_dialogColour = colour;
    LoadCustomColours();
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.hInstance = reinterpret_cast<HWND>(g_instance);
    choose.rgbResult = colour;
    choose.lpCustColors = g_customColours;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_ANYCOLOR;
    choose.lpfnHook = PaletteHook;
    // comdlg32 uses comctl32, which the manifest redirects; loaded at run time from the system folder.
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORW*);
    HMODULE const comdlg32 = LoadSideBySideLibrary(L"comdlg32.dll");
    // Neither OK nor Cancel nor the chosen colour matter: the dialog gives back only the keys 1 to 4
    // and the custom colours.
    if (auto const chooseColor = GetProcedure<ChooseColorFn>(comdlg32, "ChooseColorW")) chooseColor(&choose);
    SaveCustomColours();
    return 0;
}
