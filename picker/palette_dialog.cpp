#include "picker/palette_dialog.h"

#include <commdlg.h>

#include "base/core/text.h"
#include "base/process_state.h"
#include "base/scoped_gdi.h"
#include "base/system_library.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "picker/clipboard_export.h"
#include "picker/core/colour_forms.h"
#include "picker/core/custom_colour_history.h"
#include "picker/core/palette_layout.h"
#include "picker/hue_rounding.h"
#include "services/site_address.h"
#include "settings/settings_store.h"
#include "theme/uxtheme.h"

namespace {

// The system colour dialog's red, green and blue edit fields.
int const kRedField = 706;
int const kGreenField = 707;
int const kBlueField = 708;
int const kWebButtonHeight = 30;  // at 96 dots per inch
size_t const kFieldTextChars = 64;
size_t const kClassNameChars = 16;

static_assert(kHistoryBoxes == kCustomColourCount, "one box per stored custom colour");

// The dialog's state is its user data, which the hook reads at every message. It is also a property
// under the program's name, which marks the dialog for the key catcher among the thread's windows
// (reading a property costs Wine a trip to its server, which the hook would make at every message).
wchar_t const kStateProperty[] = L"Huepeek";

// The stored history goes one box further on: the first box always starts black, ready for a new
// colour. The opened boxes are kept, to tell what the user changed.
void LoadCustomColours(PaletteState* state) {
    for (int i = 0; i < kCustomColourCount - 1; ++i) state->customColours[i + 1] = ReadCustomColour(i, 0);
    for (int i = 0; i < kCustomColourCount; ++i) state->openedColours[i] = state->customColours[i];
}

// Only a colour put into the first box makes a new history. It is merged with the history as
// stored now, not as it was at the start: another colour dialog may have stored colours meanwhile.
void SaveCustomColours(const PaletteState* state) {
    uint32_t closed[kCustomColourCount];
    uint32_t storedNow[kCustomColourCount - 1];
    uint32_t merged[kCustomColourCount];
    for (int i = 0; i < kCustomColourCount; ++i) closed[i] = state->customColours[i];
    for (int i = 0; i < kCustomColourCount - 1; ++i) storedNow[i] = ReadCustomColour(i, 0);
    if (!MergeCustomColours(state->openedColours, closed, storedNow, merged)) return;
    for (int i = 0; i < kCustomColourCount; ++i) WriteCustomColour(i, merged[i]);
}

int LineTop(HWND edit, int line) {
    LRESULT const index = SendMessageW(edit, EM_LINEINDEX, WPARAM(line), 0);
    return short(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, WPARAM(index), 0)));
}

// The space the dialog gains is fixed, but the height of a text line is the system's: with small
// window frames (Wine's) the last help line would be cut off. The info box then takes what is free
// below the button, and never more.
void FitInfoBox(HWND dialog, PaletteState* state) {
    HWND const infoBox = state->infoBox;
    HWND const button = GetDlgItem(dialog, kWebButtonId);
    // The text ends with a line end; the edit counts the empty line behind it.
    int const lines = int(SendMessageW(infoBox, EM_GETLINECOUNT, 0, 0)) - 1;
    if (!button || lines < 2) return;
    int const lineHeight = LineTop(infoBox, 1) - LineTop(infoBox, 0);
    RECT format = {};
    SendMessageW(infoBox, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int const missing = lines * lineHeight - (format.bottom - format.top);
    RECT client;
    GetClientRect(dialog, &client);
    RECT buttonRect;
    GetWindowRect(button, &buttonRect);
    int const buttonHeight = buttonRect.bottom - buttonRect.top;
    RECT& info = state->infoRect;
    int const spare = client.bottom - (info.bottom + buttonHeight);
    int const grow = missing < spare ? missing : spare;
    if (grow <= 0) return;
    info.bottom += grow;
    MoveWindow(infoBox, info.left, info.top, info.right - info.left, info.bottom - info.top, TRUE);
    MoveWindow(button, info.left, info.bottom, info.right - info.left, buttonHeight, TRUE);
}

void ShowInfoText(HWND dialog, PaletteState* state) {
    if (!state->infoBox) return;
    const char16_t* help[kTextHelpCount];
    for (int i = 0; i < kTextHelpCount; ++i) help[i] = Utf16(Text(kTextHelpFirst + i));
    wchar_t text[kInfoTextChars];
    InfoText(state->colour, RoundHueHalfEven, help, Utf16(text), kInfoTextChars);
    SetWindowTextW(state->infoBox, text);
    FitInfoBox(dialog, state);
}

int ReadFieldByte(HWND dialog, int id) {
    wchar_t text[kFieldTextChars] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, int(kFieldTextChars));
    return ParseSettingNumber(Utf16(text)) & 0xFF;
}

void ReadDialogColour(HWND dialog, PaletteState* state) {
    int const red = ReadFieldByte(dialog, kRedField);
    int const green = ReadFieldByte(dialog, kGreenField);
    int const blue = ReadFieldByte(dialog, kBlueField);
    state->colour = COLORREF(red | green << 8 | blue << 16);
    SetWindowTextW(dialog, g_productName[0] ? g_productName : L"Huepeek");
    ShowInfoText(dialog, state);
}

// The work area of the monitor the dialog is on.
RECT WorkAreaOf(HWND dialog) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return monitor.rcWork;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Centred on a visible owner, else on the work area, and kept inside the work area.
void CentreDialog(HWND dialog, const RECT& work) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    int const width = rect.right - rect.left;
    int const height = rect.bottom - rect.top;
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

// The values are left-to-right text in every language: in a dialog mirrored for a right-to-left
// language the info box would inherit the mirroring and show "#CC3366" as "CC3366#". It keeps the
// left-to-right layout and reading order; the help lines carry their own direction in the text.
void KeepLeftToRight(HWND window) {
    LONG const style = GetWindowLongW(window, GWL_EXSTYLE);
    LONG const leftToRight =
        style & ~(WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR);
    if (leftToRight != style) SetWindowLongW(window, GWL_EXSTYLE, leftToRight);
}

void CreateExtraControls(HWND dialog, PaletteState* state, int buttonHeight, bool scrolls) {
    DWORD const childStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    DWORD const scrollStyle = scrolls ? WS_VSCROLL | ES_AUTOVSCROLL : 0;
    RECT const& info = state->infoRect;
    // Made left to right from the start: an edit made mirrored keeps its scroll bar's place on the
    // left, unpainted, whatever its style says afterwards.
    LONG const dialogStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    SetWindowLongW(dialog, GWL_EXSTYLE, dialogStyle | WS_EX_NOINHERITLAYOUT);
    HWND const infoBox = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"Edit", nullptr, childStyle | ES_MULTILINE | scrollStyle, info.left, info.top,
        info.right - info.left, info.bottom - info.top, dialog, nullptr, g_instance, nullptr);
    state->infoBox = infoBox;
    SetWindowLongW(dialog, GWL_EXSTYLE, dialogStyle);
    KeepLeftToRight(infoBox);
    WPARAM const font = WPARAM(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HWND const button = CreateWindowExW(WS_EX_CLIENTEDGE, L"Button", BuiltInSiteAddress(true), childStyle,
                                        info.left, info.bottom, info.right - info.left, buttonHeight, dialog,
                                        reinterpret_cast<HMENU>(INT_PTR(kWebButtonId)), g_instance, nullptr);
    // A plain button: drawn without visual styles.
    SetThemeOfWindow(button, L"", L"");
    SendMessageW(infoBox, WM_SETFONT, font, FALSE);
    SendMessageW(button, WM_SETFONT, font, FALSE);
}

// The button's text is as tall as the dialog's font, which grows with the display's scaling.
int WebButtonHeight(HWND dialog) {
    ScopedDC const dc = ScopedDC::ForWindow(dialog);
    return MulDiv(kWebButtonHeight, GetDeviceCaps(dc, LOGPIXELSY), 96);
}

// The narrowest info box that can stand beside the dialog's controls: its widest line of values in
// the dialog's font, with the box's edges, its margins and room for a scroll bar. The help lines
// wrap.
int NarrowestInfoColumn(HWND dialog) {
    wchar_t const widest[] = L"HSB/HSV:360,100,100";
    ScopedDC const dc = ScopedDC::ForWindow(dialog);
    ScopedSelect const font(dc, HGDIOBJ(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, widest, int(ARRAYSIZE(widest) - 1), &size);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    return size.cx + 2 * metrics.tmAveCharWidth + 4 * GetSystemMetrics(SM_CXEDGE) +
           GetSystemMetrics(SM_CXVSCROLL);
}

PaletteSize SizeOf(const RECT& rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Once more after the last change: the dialog may still adjust its fields after telling us.
void OnFieldChanged(HWND dialog, PaletteState* state) {
    ReadDialogColour(dialog, state);
    KillTimer(dialog, kInfoRefreshTimer);
    SetTimer(dialog, kInfoRefreshTimer, kInfoRefreshMs, nullptr);
}

void OnInitDialog(HWND dialog, PaletteState* state) {
    // The dialog fills its fields before it hands the hook its state, and the changes it tells of
    // meanwhile find none: the fields are read here as a change reads them, and the refresh shows them.
    OnFieldChanged(dialog, state);
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    RECT const work = WorkAreaOf(dialog);
    int const buttonHeight = WebButtonHeight(dialog);
    PaletteLayout const layout = LayOutPaletteDialog(SizeOf(window), SizeOf(client), SizeOf(work),
                                                     buttonHeight, NarrowestInfoColumn(dialog));
    SetWindowPos(dialog, HWND_TOP, window.left, window.top, layout.window.width, layout.window.height, 0);
    CentreDialog(dialog, work);
    state->infoRect = {layout.info.left, layout.info.top, layout.info.right, layout.info.bottom};
    if (!state->infoBox) CreateExtraControls(dialog, state, buttonHeight, layout.scrolls);
    // The dialog gives the focus to its red field, where the keys 1 to 4 would type digits; on OK
    // they copy, and Enter still closes the dialog. Posted, so that it comes after the dialog's own
    // choice of focus.
    PostMessageW(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, IDOK)), TRUE);
}

void OnCommand(HWND dialog, PaletteState* state, int id, int code, HWND control) {
    if (code == EN_CHANGE && control != state->infoBox) OnFieldChanged(dialog, state);
    if (id == kWebButtonId) OpenThankYouPage();
}

void OnRefreshTimer(HWND dialog, PaletteState* state) {
    KillTimer(dialog, kInfoRefreshTimer);
    ShowInfoText(dialog, state);
}

void OnKeyDown(const PaletteState* state, WPARAM key) {
    if (key < '1' || key > '4') return;
    CopyForKey(UINT(key), state->colour);
    // Ends the dialog's modal loop; ChooseColorW then returns and the history is saved.
    PostQuitMessage(1);
}

bool IsTextField(const PaletteState* state, HWND window) {
    wchar_t name[kClassNameChars] = {};
    return window != state->infoBox && GetClassNameW(window, name, int(kClassNameChars)) &&
           lstrcmpiW(name, L"Edit") == 0;
}

// A keyboard's keys go to the control with the focus, never to the dialog itself: the keys 1 to 4
// are taken out of the thread's queue on their way to any control of the dialog but a field the
// user types into, where they stay digits.
LRESULT CALLBACK CatchCopyKeys(int code, WPARAM removal, LPARAM lParam) {
    MSG* const msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_KEYDOWN && msg->wParam >= '1' &&
        msg->wParam <= '4') {
        auto const* const state =
            static_cast<const PaletteState*>(GetPropW(GetAncestor(msg->hwnd, GA_ROOT), kStateProperty));
        if (state && state->infoBox && !IsTextField(state, msg->hwnd)) {
            msg->message = WM_NULL;
            OnKeyDown(state, msg->wParam);
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// The hook on this thread's messages while the dialog is open.
class ScopedKeyCatcher {
  public:
    ScopedKeyCatcher()
        : hook_(SetWindowsHookExW(WH_GETMESSAGE, CatchCopyKeys, nullptr, GetCurrentThreadId())) {}
    ~ScopedKeyCatcher() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    ScopedKeyCatcher(const ScopedKeyCatcher&) = delete;
    ScopedKeyCatcher& operator=(const ScopedKeyCatcher&) = delete;

  private:
    HHOOK hook_;
};

}  // namespace

UINT_PTR CALLBACK PaletteHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        LPARAM const given = reinterpret_cast<CHOOSECOLORW*>(lParam)->lCustData;
        SetWindowLongPtrW(dialog, GWLP_USERDATA, given);
        SetPropW(dialog, kStateProperty, reinterpret_cast<HANDLE>(given));
    }
    auto* const state = reinterpret_cast<PaletteState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (!state) return 0;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog, state); break;
        case WM_COMMAND:
            OnCommand(dialog, state, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_TIMER:
            if (wParam == kInfoRefreshTimer) OnRefreshTimer(dialog, state);
            break;
        case WM_KEYDOWN: OnKeyDown(state, wParam); break;
    }
    return 0;
}

int RunPaletteDialog(COLORREF colour, HWND owner) {
    // The keys copy this colour until a field of the dialog changes.
    PaletteState state = {};
    state.colour = colour;
    LoadCustomColours(&state);
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.hInstance = reinterpret_cast<HWND>(g_instance);
    choose.rgbResult = colour;
    choose.lpCustColors = state.customColours;
    choose.lCustData = reinterpret_cast<LPARAM>(&state);
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_ANYCOLOR;
    choose.lpfnHook = PaletteHook;
    // comdlg32 uses comctl32, which the manifest redirects; loaded at run time from the system folder.
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORW*);
    HMODULE const comdlg32 = LoadSideBySideLibrary(L"comdlg32.dll");
    // Neither OK nor Cancel nor the chosen colour matter: the dialog gives back only the keys 1 to 4
    // and the custom colours.
    if (auto const chooseColor = GetProcedure<ChooseColorFn>(comdlg32, "ChooseColorW")) {
        ScopedKeyCatcher const keys;
        chooseColor(&choose);
    }
    SaveCustomColours(&state);
    return 0;
}
