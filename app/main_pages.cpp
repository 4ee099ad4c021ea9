#include "app/main_pages.h"

#include "app/autostart.h"
#include "app/host_window.h"
#include "app/hot_key.h"
#include "app/main_dialog.h"
#include "base/core/text.h"
#include "base/display_scale.h"
#include "base/process_state.h"
#include "base/scoped_gdi.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "res/resource.h"
#include "services/mail.h"
#include "services/site_address.h"
#include "services/uninstall.h"
#include "settings/settings_store.h"

// Exported by gdi32 since Windows 2000, declared in no header: the letters' average width as dialogs
// measure it, and the line height.
extern "C" LONG WINAPI GdiGetCharDimensions(HDC dc, TEXTMETRICW* metrics, LONG* height);

int g_currentPage = 0;
HWND g_pages[kPageCount];

namespace {

int g_storedPage;  // what "c_wnd" holds, as far as this run knows

size_t const kButtonTextChars = 256;
int const kToolbarButtonSide = 24;
int const kToolbarRebuildDeletes = 10;
wchar_t const kTitleEnd[] = L" - x64";
wchar_t const kTitlePortable[] = L" (Portable)";

struct PageTemplate {
    int page;
    int dialogId;
};
// In the order they are made: the Info page first, the picker page third.
PageTemplate const kPageTemplates[kPageCount] = {
    {kInfoPage, IDD_PAGE_INFO},
    {kBlankPage, IDD_PAGE_BLANK},
    {kPickerPage, IDD_PAGE_PICKER},
    {kMorePage, IDD_PAGE_MORE},
};

// The page titles shown in the frame's caption, by page number.
int const kPageTitles[kPageCount] = {kTextProgramPage, kTextInfo, kTextTranslator, kTextMore};

// The page buttons by page number: the one of the page shown is marked.
int const kPageTabs[kPageCount] = {IDC_TAB_PICKER, IDC_TAB_INFO, IDC_TAB_BLANK, IDC_TAB_MORE};

// Tab and Shift+Tab follow the reading order, row by row; in a right-to-left language each row is
// read from its right end. The dialog manager visits controls in their z-order, so they are stacked
// in this order. The controls of one group share the arrow keys (the page buttons select their
// pages with them). The pages stand in the main dialog's second row; the shown one's controls follow.
struct TabStop {
    int id;
    int row;
    int group;
    int label = 0;  // stacked right before the control in any reading order: its access key leads there
};
int const kPagesStop = -2;
int const kToolbarStop = -3;
TabStop const kMainTabOrder[] = {
    {IDC_TAB_PICKER, 0, 0}, {IDC_TAB_INFO, 0, 0},   {IDC_TAB_MORE, 0, 0},
    {IDC_TO_TRAY, 0, 1},    {IDC_EXIT, 0, 1},       {kPagesStop, 1, 2},
    {IDC_AUTOSTART, 2, 3},  {IDC_START_TRAY, 2, 3}, {kToolbarStop, 3, 4},
};
TabStop const kPickerPageTabOrder[] = {
    {IDC_PICK, 0, 0}, {IDC_USAGE, 0, 1}, {IDC_HOTKEY, 1, 2, IDC_HOTKEY_LABEL}, {IDC_HOTKEY_WIN, 1, 2}};
TabStop const kBlankPageTabOrder[] = {{IDC_BLANK_TEXT, 0, 0}};
TabStop const kMorePageTabOrder[] = {
    {IDC_RECOMMEND, 0, 0}, {IDC_SEND, 1, 0}, {IDC_MORE_FREEWARE, 2, 0}, {IDC_UNINSTALL, 3, 0}};
struct PageTabOrder {
    int page;
    const TabStop* order;
    size_t count;
};
PageTabOrder const kPageTabOrders[] = {
    {kPickerPage, kPickerPageTabOrder, ARRAYSIZE(kPickerPageTabOrder)},
    {kBlankPage, kBlankPageTabOrder, ARRAYSIZE(kBlankPageTabOrder)},
    {kMorePage, kMorePageTabOrder, ARRAYSIZE(kMorePageTabOrder)},
};

// The picker button's larger font, made once and again at a change of DPI.
ScopedGdiObject<HFONT> g_pickFont(nullptr);
// The dialog's and the pages' font and the toolbar's, made at a change of DPI: until then the
// template's and the toolbar's own.
ScopedGdiObject<HFONT> g_dialogFont(nullptr);
ScopedGdiObject<HFONT> g_toolbarFont(nullptr);
// The dialog units of that font, which the dialog and its pages share: a letter's average width
// (4 units across) and a line's height (8 units down) in pixels.
SIZE g_units;
int const kUnitsPerBase[] = {4, 8};
int const kTemplatePoints = 8;  // the templates' "MS Shell Dlg" size

// A text in Arabic, Persian or Hebrew is shown in right-to-left reading order, so that the Latin
// words, brackets and digits in it stand where its readers expect them. (Wine 8's buttons and
// static texts ignore the style; an embedding mark in the text would turn them round there, but
// Wine measures the mark as a missing glyph and draws it as a blank, which shifts the text by
// several pixels and pushes a right-aligned one into its neighbour.)
void SetItemText(HWND dialog, int id, const wchar_t* text, bool rightToLeft) {
    HWND const control = GetDlgItem(dialog, id);
    LONG const style = GetWindowLongW(control, GWL_EXSTYLE);
    LONG const reading = rightToLeft ? style | WS_EX_RTLREADING : style & ~WS_EX_RTLREADING;
    if (reading != style) SetWindowLongW(control, GWL_EXSTYLE, reading);
    SetWindowTextW(control, text ? text : L"");
}

void SetItemText(HWND dialog, int id, const wchar_t* text) {
    SetItemText(dialog, id, text, ReadsRightToLeft(Utf16(text)));
}

// The current language's reading order, as its longest text shows it.
bool LanguageReadsRightToLeft() {
    return ReadsRightToLeft(Utf16(Text(kTextUsageHelp)));
}

// The frame's inside below its caption, in dialog units of the main dialog: the pages fill it.
// (Laid over the whole frame, a page would hide the frame and the caption that names it.)
RECT PageRect(HWND dialog) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, IDC_PAGE_FRAME), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    int const side = MulDiv(4, g_units.cx, 4);
    return {rect.left + 1 + side, rect.top + 1 + MulDiv(9, g_units.cy, 8), rect.right - 1 - side,
            rect.bottom - 1 - MulDiv(4, g_units.cy, 8)};
}

// Dialog units as the dialog manager takes them from a font.
SIZE UnitsOf(HFONT font) {
    ScopedDC const dc = ScopedDC::Compatible(nullptr);
    ScopedSelect const selected(dc, font);
    SIZE units;
    units.cx = GdiGetCharDimensions(dc, nullptr, &units.cy);
    return units;
}

// Moves and sizes every control of window from where the dialog units from put it to where those
// of to put it: where a template laid out with that font has it (a rectangle of dialog units is
// found again from its pixels, as a pixel is less than a unit). The controls take font; the pages
// and the toolbar, which have no number, keep their own. A page's pictures take the image of their
// icon that their box holds, at a multiple of 8 pixels as the icon's images are.
void LayOut(HWND window, SIZE from, SIZE to, HFONT font) {
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        rect.right -= rect.left;
        rect.bottom -= rect.top;
        RECT const was = rect;
        LONG* const place = &rect.left;  // left, top, width, height
        for (int i = 0; i < 4; ++i) {
            int const per = kUnitsPerBase[i & 1];
            place[i] = MulDiv(MulDiv(place[i], per, (&from.cx)[i & 1]), (&to.cx)[i & 1], per);
        }
        // At start the units are the template's own: nothing moves.
        if (!EqualRect(&rect, &was)) MoveWindow(control, rect.left, rect.top, rect.right, rect.bottom, TRUE);
        int const id = GetDlgCtrlID(control);
        if (id) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (id != IDI_PIXEL && id != IDI_HUEPEEK) continue;
        int const side = (rect.right < rect.bottom ? rect.right : rect.bottom) & ~7;
        HANDLE const icon = LoadImageW(g_instance, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, 0);
        // The picture's earlier icon is this code's too.
        if (HICON const old = reinterpret_cast<HICON>(
                SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0)))
            DestroyIcon(old);
    }
}

// Fills the frame's inside with the page.
void PlacePage(HWND dialog, HWND page) {
    RECT const rect = PageRect(dialog);
    SetWindowPos(page, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0);
}

// Lays the dialog and the pages made so far out for font; the pages fill the frame.
void LayOutDialog(HWND dialog, HFONT font) {
    SIZE const units = UnitsOf(font);
    if (!g_units.cx) g_units = units;  // a dialog made just now is laid out for its font
    LayOut(dialog, g_units, units, font);
    for (HWND page : g_pages)
        if (page) LayOut(page, g_units, units, font);
    g_units = units;
    for (PageTemplate const& page : kPageTemplates)
        if (g_pages[page.page]) PlacePage(dialog, g_pages[page.page]);
}

// The font of logFont at height, which the caller deletes.
HFONT FontOfHeight(LOGFONTW* logFont, LONG height) {
    logFont->lfHeight = height;
    return CreateFontIndirectW(logFont);
}

void MakePickFont(HWND button) {
    HFONT const font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    if (!g_pickFont.get()) {
        LOGFONTW logFont = {};
        if (!font || !GetObjectW(font, sizeof(logFont), &logFont)) return;
        logFont.lfItalic = FALSE;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfQuality = PROOF_QUALITY;
        // toward zero: -11 becomes -16
        g_pickFont.Reset(FontOfHeight(&logFont, LONG(logFont.lfHeight * 1.5)));
    }
    // A main dialog made again gets the font too.
    if (g_pickFont.get() && font != g_pickFont.get())
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_pickFont.get()), FALSE);
}

// A text of the archive with one "%s", which takes insert; any other "%" stays as it stands. (A
// format from the archive is never handed to wsprintfW: a stray "%s" there would read past its
// arguments.)
void FillFormat(const wchar_t* format, const wchar_t* insert, wchar_t* out, size_t chars) {
    size_t length = 0;
    bool filled = false;
    auto put = [&](wchar_t c) {
        if (length + 1 < chars) out[length++] = c;
    };
    for (const wchar_t* c = format ? format : L""; *c; ++c) {
        if (!filled && c[0] == L'%' && c[1] == L's') {
            for (const wchar_t* s = insert ? insert : L""; *s; ++s) put(*s);
            filled = true;
            ++c;
        } else if (c[0] == L'%' && c[1] == L'%') {
            put(L'%');
            ++c;
        } else {
            put(*c);
        }
    }
    out[length] = 0;
}

// The hot-key field keeps Ctrl, Alt and Shift as flags of its own; Win is the box beside it.
struct FieldModifier {
    int modifier;
    BYTE flag;
};
FieldModifier const kFieldModifiers[] = {
    {kHotKeyShift, HOTKEYF_SHIFT}, {kHotKeyControl, HOTKEYF_CONTROL}, {kHotKeyAlt, HOTKEYF_ALT}};

// Keys of the extended block (arrows, the six above them, keypad Divide and Num Lock), which the
// field names apart from their twins on the keypad.
bool IsExtendedKey(int key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_SNAPSHOT || key == VK_INSERT ||
           key == VK_DELETE || key == VK_APPS || key == VK_DIVIDE || key == VK_NUMLOCK;
}

// A key alone, or with Shift only, would take that key from every other program: without the Win
// box the field turns such a choice into Ctrl+Alt and the key.
void SetFieldRules(HWND page, bool win) {
    WPARAM const invalid = win ? 0 : HKCOMB_NONE | HKCOMB_S;
    SendDlgItemMessageW(page, IDC_HOTKEY, HKM_SETRULES, invalid,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
}

void ShowHotKeyCombination(HWND page, int combination) {
    int const key = HotKeyKey(combination);
    BYTE flags = IsExtendedKey(key) ? HOTKEYF_EXT : 0;
    for (FieldModifier const& m : kFieldModifiers)
        if (HotKeyModifiers(combination) & m.modifier) flags |= m.flag;
    SendDlgItemMessageW(page, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
    bool const win = (HotKeyModifiers(combination) & kHotKeyWin) != 0;
    CheckDlgButton(page, IDC_HOTKEY_WIN, win ? BST_CHECKED : BST_UNCHECKED);
    SetFieldRules(page, win);
}

// "Win+Shift+C is in use by another program.", while that is so.
void ShowHotKeyNote(HWND page) {
    HWND const note = GetDlgItem(page, IDC_HOTKEY_NOTE);
    if (!PickerHotKeyTaken()) {
        ShowWindow(note, SW_HIDE);
        return;
    }
    wchar_t name[kHotKeyNameChars];
    PickerHotKeyName(PickerHotKey(), name);
    size_t const kNoteChars = 256;
    wchar_t text[kNoteChars];
    FillFormat(Text(kTextHotKeyTaken), name, text, kNoteChars);
    // The language's reading order, whatever the combination's name or the "%s" begins with.
    SetItemText(page, IDC_HOTKEY_NOTE, text, LanguageReadsRightToLeft());
    ShowWindow(note, SW_SHOW);
}

WNDPROC g_hotKeyFieldProc;

// Backspace or Delete alone empties the hot-key field, which turns the hot key off, as users know
// it from the system's own shortcut fields (Wine's field takes neither).
void EmptyHotKeyField(HWND field) {
    SendMessageW(field, HKM_SETHOTKEY, 0, 0);
    ChoosePickerHotKey(kNoHotKey);
    ShowHotKeyNote(GetParent(field));
}

// A combination begun in the field but left without a key (Ctrl, Alt or Shift alone, as Shift
// on its way to Shift+Tab) chose nothing: the field shows again what is in force.
void OnHotKeyFieldLeft(HWND field) {
    if (LOBYTE(SendMessageW(field, HKM_GETHOTKEY, 0, 0))) return;
    if (PickerHotKey() == kNoHotKey)
        SendMessageW(field, HKM_SETHOTKEY, 0, 0);  // the Win box stays as the user left it
    else
        ShowHotKeyCombination(GetParent(field), PickerHotKey());
}

LRESULT CALLBACK HotKeyFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KILLFOCUS) {
        LRESULT const result = CallWindowProcW(g_hotKeyFieldProc, field, message, wParam, lParam);
        OnHotKeyFieldLeft(field);
        return result;
    }
    bool const alone =
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (message != WM_KEYDOWN || (wParam != VK_BACK && wParam != VK_DELETE) || !alone)
        return CallWindowProcW(g_hotKeyFieldProc, field, message, wParam, lParam);
    EmptyHotKeyField(field);
    return 0;
}

void SubclassHotKeyField(HWND field) {
    WNDPROC const previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HotKeyFieldProc)));
    // A main dialog made again finds the class's procedure there, the same as before.
    if (previous != HotKeyFieldProc) g_hotKeyFieldProc = previous;
}

// Shows the page, hides the others and stores the choice.
void ShowPage(int page) {
    for (int i = 0; i < kPageCount; ++i)
        if (g_pages[i]) ShowWindow(g_pages[i], i == page ? SW_SHOW : SW_HIDE);
    g_currentPage = page;
    // The setting keeps 2; the page procedure then acts as on the picker page. Written only when it
    // changes: a language change selects the page again.
    if (page != g_storedPage && WriteSetting(Setting::kPage, page)) g_storedPage = page;
    if (g_currentPage == kBlankPage) g_currentPage = kPickerPage;
}

// Made hidden from its template; its controls still stand where the template's font puts them.
HWND MakePage(HWND dialog, PageTemplate const& page) {
    HWND const window = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(page.dialogId), dialog, PageProc, 0);
    if (window && page.page == kPickerPage) SubclassHotKeyField(GetDlgItem(window, IDC_HOTKEY));
    return window;
}

void SetPickerPageTexts(HWND picker) {
    SetItemText(picker, IDC_USAGE, Text(kTextUsageHelp));
    SetItemText(picker, IDC_PICK, Text(kTextPickerButton));
    SetItemText(picker, IDC_HOTKEY_LABEL, Text(kTextHotKey));
    ShowHotKeyCombination(picker, PickerHotKey());
    ShowHotKeyNote(picker);
}

void SetInfoPageTexts(HWND info) {
    SetItemText(info, IDC_INFO_SITE, LanguageRuleBase());
    SetItemText(info, IDC_INFO_VERSION, ProductString(kProductVersionLine));
    SetItemText(info, IDC_INFO_NOTICE, ProductString(kProductNotice));
}

void SetBlankPageTexts(HWND) {}

void SetMorePageTexts(HWND more) {
    SetItemText(more, IDC_RECOMMEND, Text(kTextRecommend));
    SetItemText(more, IDC_SEND, Text(kTextSendProgram));
    SetItemText(more, IDC_MORE_FREEWARE, Text(kTextMoreFreeware));
    SetItemText(more, IDC_UNINSTALL, Text(kTextUninstall));
}

// By page number.
void (*const kPageTextSetters[kPageCount])(HWND) = {SetPickerPageTexts, SetInfoPageTexts, SetBlankPageTexts,
                                                    SetMorePageTexts};

// The texts of the dialog's check boxes and "To-Tray", and of the pages made so far.
void SetPageTexts(HWND dialog) {
    for (int page = 0; page < kPageCount; ++page)
        if (g_pages[page]) kPageTextSetters[page](g_pages[page]);
    SetItemText(dialog, IDC_AUTOSTART, Text(kTextStartWithWindows));
    SetItemText(dialog, IDC_START_TRAY, Text(kTextStartMinimized));
    SetItemText(dialog, IDC_TO_TRAY, Text(kTextToTray));
}

void SetStyleBits(HWND window, LONG set, LONG clear) {
    LONG const style = GetWindowLongW(window, GWL_STYLE);
    LONG const wanted = (style & ~clear) | set;
    if (wanted != style) SetWindowLongW(window, GWL_STYLE, wanted);
}

// Stacks the controls of one dialog in reading order under after (on top of all when null).
void StackInReadingOrder(HWND dialog, HWND toolbar, const TabStop* order, size_t count, bool rightToLeft,
                         HWND after) {
    int previousGroup = -1;
    for (size_t first = 0; first < count;) {
        size_t end = first;
        while (end < count && order[end].row == order[first].row) ++end;
        for (size_t i = first; i < end; ++i) {
            TabStop const& stop = order[rightToLeft ? first + end - 1 - i : i];
            bool const opensGroup = stop.group != previousGroup;
            previousGroup = stop.group;
            // The pages are stops of the main dialog only as containers of their own controls.
            size_t const windows = stop.id == kPagesStop ? kPageCount : 1;
            for (size_t w = 0; w < windows; ++w) {
                HWND const window = stop.id == kPagesStop     ? g_pages[w]
                                    : stop.id == kToolbarStop ? toolbar
                                                              : GetDlgItem(dialog, stop.id);
                if (!window) continue;
                LONG const group = opensGroup ? WS_GROUP : 0;
                if (stop.id == kPagesStop)
                    SetStyleBits(window, group, WS_GROUP | WS_TABSTOP);
                else
                    SetStyleBits(window, WS_TABSTOP | group, WS_GROUP);
                if (HWND const label = stop.label ? GetDlgItem(dialog, stop.label) : nullptr) {
                    SetWindowPos(label, after ? after : HWND_TOP, 0, 0, 0, 0,
                                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                    after = label;
                }
                SetWindowPos(window, after ? after : HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                after = window;
            }
        }
        first = end;
    }
}

void ArrangeTabOrder(MainDialog* mainDialog) {
    bool const rightToLeft = ReadsRightToLeft(Utf16(Text(kTextUsageHelp)));
    HWND const dialog = mainDialog->dialog;
    // Below the banner: the frame of the page area stays above the pages that it holds.
    StackInReadingOrder(dialog, mainDialog->toolbar, kMainTabOrder, ARRAYSIZE(kMainTabOrder), rightToLeft,
                        GetDlgItem(dialog, IDC_BANNER));
    for (PageTabOrder const& page : kPageTabOrders)
        if (g_pages[page.page])
            StackInReadingOrder(g_pages[page.page], nullptr, page.order, page.count, rightToLeft, nullptr);
}

void SetTitle(HWND dialog) {
    wchar_t title[kTitleChars] = {};
    lstrcpynW(title, ProductString(kProductNameVersion) ? ProductString(kProductNameVersion) : L"",
              int(kTitleChars));
    const wchar_t* const parts[] = {PortableMode() ? kTitlePortable : L"", kTitleEnd};
    for (const wchar_t* part : parts) {
        int const used = lstrlenW(title);
        lstrcpynW(title + used, part, int(kTitleChars) - used);
    }
    SetWindowTextW(dialog, title);
}

void OnPickerPageCommand(HWND page, int id) {
    switch (id) {
        case IDC_PICK: OpenPickerFromTray(PickerOpening::kByClick); break;
        case IDC_HOTKEY:
        case IDC_HOTKEY_WIN: OnHotKeyFieldChanged(page); break;
    }
}

void OnMorePageCommand(HWND page, int id) {
    switch (id) {
        case IDC_RECOMMEND: RecommendProgram(page); break;
        case IDC_SEND: SendProgram(page); break;
        case IDC_MORE_FREEWARE: OpenSitePage(SitePage::kMoreFreeware); break;
        case IDC_UNINSTALL:
            if (!Uninstall()) break;
            ApplyAutostart(0);
            // Ends the run with 0, as closing the host window does.
            PostQuitMessage(0);
            break;
    }
}

void OnPageCommand(HWND page, int id) {
    if (g_currentPage == kPickerPage)
        OnPickerPageCommand(page, id);
    else if (g_currentPage == kMorePage)
        OnMorePageCommand(page, id);
}

}  // namespace

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) OnPageCommand(page, LOWORD(wParam));
    return FALSE;
}

HWND CreateToolbar(DWORD exStyle, DWORD style, HWND parent, int placeholderId) {
    HWND const toolbar = CreateWindowExW(exStyle, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 180, 20, parent,
                                         nullptr, g_instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, GetSystemMetrics(SM_CYSMICON) - 2));
    if (placeholderId) {
        HWND const placeholder = GetDlgItem(parent, placeholderId);
        ShowWindow(placeholder, SW_HIDE);
        RECT rect;
        GetWindowRect(placeholder, &rect);
        ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.left));
        ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.right));
        SetWindowPos(toolbar, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     0);
    }
    return toolbar;
}

void AddToolbarButton(HWND toolbar, const wchar_t* text, int commandId, int imageIndex, BYTE buttonStyle) {
    TBBUTTON button = {};
    button.iBitmap = imageIndex;
    button.idCommand = commandId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = buttonStyle;
    if (SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button))) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT | TBIF_STYLE;
        info.fsStyle = buttonStyle ? buttonStyle : BTNS_AUTOSIZE;
        info.pszText = const_cast<wchar_t*>(text);
        SendMessageW(toolbar, TB_SETBUTTONINFOW, WPARAM(commandId), reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kToolbarButtonSide, kToolbarButtonSide));
}

bool ToolbarButtonRect(HWND toolbar, int commandId, RECT* rect) {
    LRESULT const index = SendMessageW(toolbar, TB_COMMANDTOINDEX, WPARAM(commandId), 0);
    return SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(rect)) != 0;
}

void BuildPages(MainDialog* mainDialog, HWND dialog, int storedPage) {
    mainDialog->toolbar = CreateToolbar(0, kToolbarStyle, dialog, IDC_TOOLBAR_PLACE);
    // Only the page that the dialog opens on (the picker page for the blank one): the others are
    // made once the dialog is on screen.
    int const shown = storedPage == kBlankPage ? kPickerPage : storedPage;
    for (PageTemplate const& page : kPageTemplates)
        g_pages[page.page] = page.page == shown ? MakePage(dialog, page) : nullptr;
    g_units = {};
    LayOutDialog(dialog, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    g_storedPage = storedPage;
    // Its caption, the marked button and the texts come with the dialog's texts right after.
    ShowPage(storedPage);
}

void BuildHiddenPages(MainDialog* mainDialog) {
    HWND const dialog = mainDialog->dialog;
    // The font the dialog's controls have now: the template's, or the one of a change of DPI.
    HFONT const font = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_EXIT, WM_GETFONT, 0, 0));
    bool made = false;
    for (PageTemplate const& page : kPageTemplates) {
        if (g_pages[page.page]) continue;
        HWND const window = MakePage(dialog, page);
        g_pages[page.page] = window;
        if (!window) continue;
        made = true;
        // Laid out from its template's font, where the dialog manager put its controls.
        LayOut(window, UnitsOf(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0))), g_units,
               font);
        PlacePage(dialog, window);
        kPageTextSetters[page.page](window);
    }
    if (!made) return;
    MakePickFont(GetDlgItem(g_pages[kPickerPage], IDC_PICK));
    ArrangeTabOrder(mainDialog);
}

void SelectPage(MainDialog* mainDialog, int page) {
    HWND const dialog = mainDialog->dialog;
    ShowPage(page);
    // Any other number shows no page and leaves the caption as it is.
    // The title without the access key of its page's button, which would take that key itself.
    wchar_t title[kButtonTextChars];
    if (page >= 0 && page < kPageCount)
        SetItemText(dialog, IDC_PAGE_FRAME, TitleText(kPageTitles[page], title, kButtonTextChars));
    MarkTab(dialog, page >= 0 && page < kPageCount ? kPageTabs[page] : 0);
    MakePickFont(GetDlgItem(g_pages[kPickerPage], IDC_PICK));
    SetPageTexts(dialog);
}

HWND StartControlOfShownPage(HWND dialog) {
    static int const kStartControls[kPageCount] = {IDC_PICK, 0, 0, IDC_RECOMMEND};
    for (int page = 0; page < kPageCount; ++page) {
        if (!(GetWindowLongW(g_pages[page], GWL_STYLE) & WS_VISIBLE)) continue;
        return kStartControls[page] ? GetDlgItem(g_pages[page], kStartControls[page])
                                    : GetDlgItem(dialog, kPageTabs[page]);
    }
    return nullptr;
}

void SetTitleAndToolbar(MainDialog* mainDialog) {
    HWND const dialog = mainDialog->dialog;
    HWND const toolbar = mainDialog->toolbar;
    for (int i = 0; i < kToolbarRebuildDeletes; ++i) SendMessageW(toolbar, TB_DELETEBUTTON, 0, 0);
    SetTitle(dialog);
    wchar_t text[kButtonTextChars];
    FillFormat(ProductString(kProductFreewareNotice), LanguageRuleBase(), text, kButtonTextChars);
    AddToolbarButton(toolbar, text, IDC_THANKS, 0, 0);
    wsprintfW(text, L"# %.250s", Text(kTextDonate));
    AddToolbarButton(toolbar, text, IDC_DONATE, 0, 0);
    AddToolbarButton(toolbar, L"# LNG", IDC_LANGUAGE, 0, 0);
    AddToolbarButton(toolbar, L"# FAQ", IDC_FAQ, 0, 0);
    // In a right-to-left language "# " leads each button's text from the right, as it does the row.
    SendMessageW(toolbar, TB_SETDRAWTEXTFLAGS, DT_RTLREADING, LanguageReadsRightToLeft() ? DT_RTLREADING : 0);
    SetItemText(dialog, IDC_TAB_INFO, Text(kTextInfo));
    SetItemText(dialog, IDC_TAB_BLANK, Text(kTextLicence));
    SetItemText(dialog, IDC_TAB_MORE, Text(kTextMore));
    SetItemText(dialog, IDC_EXIT, Text(kTextExit));
    ArrangeTabOrder(mainDialog);
    SelectPage(mainDialog, g_currentPage);
}

void OnHotKeyFieldChanged(HWND page) {
    WORD const field = WORD(SendDlgItemMessageW(page, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    int const key = LOBYTE(field);
    bool const win = IsDlgButtonChecked(page, IDC_HOTKEY_WIN) == BST_CHECKED;
    SetFieldRules(page, win);
    int modifiers = win ? kHotKeyWin : 0;
    for (FieldModifier const& m : kFieldModifiers)
        if (HIBYTE(field) & m.flag) modifiers |= m.modifier;
    // Without a key the field holds a combination still being typed (Ctrl, Alt or Shift alone, or
    // Shift on its way to Shift+Tab), or nothing since Backspace or Delete turned the hot key off:
    // neither chooses anything, and the box alone does not either.
    if (!key) return;
    // The field's own rule, also for a key chosen with the box on and left alone when it goes off.
    bool const ruled = !(modifiers & (kHotKeyControl | kHotKeyAlt | kHotKeyWin));
    if (ruled) modifiers |= kHotKeyControl | kHotKeyAlt;
    int const combination = MakeHotKey(modifiers, key);
    if (!IsValidHotKey(combination)) return;
    if (ruled) ShowHotKeyCombination(page, combination);
    ChoosePickerHotKey(combination);
    ShowHotKeyNote(page);
}

void FitMainDialogToDpi(MainDialog* mainDialog, UINT dpi) {
    HWND const dialog = mainDialog->dialog;
    LOGFONTW logFont;
    // The dialog itself keeps the template's font, which the dialog manager deletes.
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(logFont), &logFont);
    HFONT const font = FontOfHeight(&logFont, -MulDiv(kTemplatePoints, int(dpi), 72));
    LayOutDialog(dialog, font);
    g_dialogFont.Reset(font);
    g_pickFont.Reset(nullptr);  // made again from the new font
    // The toolbar's own font is the icon titles' at the system's DPI.
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(logFont), &logFont, 0);
    HWND const toolbar = mainDialog->toolbar;
    HFONT const toolbarFont = FontOfHeight(&logFont, MulDiv(logFont.lfHeight, int(dpi), int(SystemDpi())));
    SendMessageW(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(toolbarFont), FALSE);
    g_toolbarFont.Reset(toolbarFont);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, MetricForDpi(SM_CYSMICON, dpi) - 2));
    // The buttons take their sizes from the font as they are added.
    SetTitleAndToolbar(mainDialog);
}
