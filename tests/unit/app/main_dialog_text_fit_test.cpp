// Every text of the main dialog, its pages and its toolbar fits its control in every language: each
// is measured with the control's own font against the room that the control draws it in, under a
// locale whose fonts draw the language (as its users' systems would), and every character measured
// must really be drawn, not shown as the box of a missing glyph.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/hot_key.h"
#include "app/main_dialog.h"
#include "app/main_pages.h"
#include "app/startup.h"
#include "base/process_state.h"
#include "dpi_change.h"
#include "lang/string_table.h"
#include "res/resource.h"
#include "screenshot.h"
#include "settings/settings_store.h"
#include "taken_hot_key.h"

namespace {

// Margins of the controls' own drawing, measured under Wine 8 with comctl32 6 by drawing texts of
// growing width into each kind of control and finding where their ink and the focus rectangle lie:
// - A push button (and a push-like radio button) draws its label centred, unclipped, inside the
//   theme's content rectangle 3 px in from its edges; the focus rectangle is drawn on that
//   rectangle's edge. A label clear of the focus rectangle keeps 4 px from every edge.
int const kButtonLabelInset = 4;
// - A check box's box is 13 px wide; the label begins half the width of a "0" plus 1 px past it
//   (17 px for the 8-point dialog font, 18 px at 12 points), and the focus rectangle lies 1 px
//   round the label, so the far side needs one more pixel.
int const kCheckBoxSide = 13;
// - A group box draws its caption 8 px in from its left edge; it stays clear of the frame's right
//   corner with the same 8 px there.
int const kGroupCaptionIndent = 8;
// - The hot-key field draws its text 1 px in from its client area's left and top edges and cuts it
//   at the right edge; the caret (1 px) stands right after the text.
int const kHotKeyTextInset = 1;
int const kCaretWidth = 1;

int const kMainWindow = -1;  // the main dialog itself, beside the page numbers 0 to 3

struct Language {
    int slot;
    const char* name;
};

// The locale under which each language is measured: its users' own, whose code page makes Wine
// choose the dialog font and its fallbacks for that script.
struct LocaleGroup {
    const wchar_t* lcAll;
    const wchar_t* localeName;  // what the system then reports as the user's locale
    std::vector<Language> languages;
    // Wine maps "MS Shell Dlg" to its own Tahoma for the Thai and Hebrew code pages, but its Tahoma
    // has neither script (Windows' has both), and links from it to fonts that have them were found
    // not to help: Wine shapes these scripts with the base font's glyphs alone. There the test maps
    // it, as Windows does, to "Microsoft Sans Serif", which Wine does not have: it then picks an
    // installed font of the code page, as it does for Arabic by itself.
    bool windowsShellDialogFont = false;
};

std::vector<LocaleGroup> const kLocaleGroups = {
    {L"en_US.UTF-8",
     L"en-US",
     {{1, "English"},
      {3, "French"},
      {6, "Spanish"},
      {7, "Italian"},
      {9, "Portuguese"},
      {12, "Frisian"},
      {14, "Norwegian"},
      {15, "Irish"},
      {16, "Dutch"},
      {17, "Spanish (Latin America)"},
      {19, "Swedish"},
      {20, "Danish"},
      {21, "Spanish (Venezuela)"},
      {22, "Afrikaans"},
      {23, "Welsh"},
      {27, "Malay"},
      {28, "Indonesian"},
      {29, "Filipino"},
      {30, "Finnish"}}},
    {L"de_DE.UTF-8", L"de-DE", {{0, "German"}}},
    {L"pl_PL.UTF-8", L"pl-PL", {{13, "Polish"}, {31, "Czech"}, {33, "Hungarian"}, {34, "Bosnian"}}},
    {L"ru_RU.UTF-8", L"ru-RU", {{5, "Russian"}, {32, "Ukrainian"}}},
    {L"vi_VN.UTF-8", L"vi-VN", {{18, "Vietnamese"}}},
    {L"he_IL.UTF-8", L"he-IL", {{25, "Hebrew"}}, true},
    {L"ar_SA.UTF-8", L"ar-SA", {{11, "Arabic"}}},
    {L"fa_IR.UTF-8", L"fa-IR", {{24, "Persian"}}},
    {L"hi_IN.UTF-8", L"hi-IN", {{26, "Hindi"}}},
    {L"th_TH.UTF-8", L"th-TH", {{10, "Thai"}}, true},
    {L"ja_JP.UTF-8", L"ja-JP", {{4, "Japanese"}}},
    {L"ko_KR.UTF-8", L"ko-KR", {{2, "Korean"}}},
    {L"zh_TW.UTF-8", L"zh-TW", {{8, "Chinese (Traditional)"}}},
};

// Pictures for a person to look at: every page in English, the picker page in German and in one
// language of every other script, and the More page, whose buttons carry the longest texts with
// access keys, in Cyrillic, Arabic and Japanese (the key in "(&X)" after the words).
// And the picker page, after the dialog was moved onto a monitor of twice the scale, in a Latin, a
// CJK and a right-to-left language.
struct Screenshot {
    int slot;
    std::vector<int> pages;
    bool moved = false;
};
std::vector<Screenshot> const kScreenshots = {
    {1, {kPickerPage, kInfoPage, kBlankPage, kMorePage}, true},
    {0, {kPickerPage}},
    {5, {kPickerPage, kMorePage}},
    {11, {kPickerPage, kMorePage}, true},
    {4, {kPickerPage, kMorePage}, true},
    {10, {kPickerPage}},
    {13, {kPickerPage}},
    {18, {kPickerPage}},
    {25, {kPickerPage}},
    {24, {kPickerPage}},
    {26, {kPickerPage}},
    {2, {kPickerPage}},
    {8, {kPickerPage}},
};
const char* const kPageNames[kPageCount] = {"picker", "info", "blank", "more"};

// Where each measured text comes from, to name it in a failure.
struct TextSource {
    int window;
    int control;
    const char* source;
};
TextSource const kTextSources[] = {
    {kMainWindow, IDC_TAB_PICKER, "the product name"},
    {kMainWindow, IDC_TAB_INFO, "text ID 27"},
    {kMainWindow, IDC_TAB_MORE, "text ID 28"},
    {kMainWindow, IDC_EXIT, "text ID 20"},
    {kMainWindow, IDC_TO_TRAY, "text ID 51"},
    {kMainWindow, IDC_AUTOSTART, "text ID 30"},
    {kMainWindow, IDC_START_TRAY, "text ID 31"},
    {kPickerPage, IDC_PICK, "text ID 40"},
    {kPickerPage, IDC_USAGE, "text ID 47"},
    {kPickerPage, IDC_HOTKEY_LABEL, "text ID 100"},
    {kPickerPage, IDC_HOTKEY_NOTE, "text ID 101"},
    {kInfoPage, IDC_INFO_SITE, "product string 20 or 21"},
    {kInfoPage, IDC_INFO_VERSION, "product string 26"},
    {kInfoPage, IDC_INFO_NOTICE, "product string 27"},
    {kMorePage, IDC_RECOMMEND, "text ID 52"},
    {kMorePage, IDC_SEND, "text ID 53"},
    {kMorePage, IDC_MORE_FREEWARE, "text ID 54"},
    {kMorePage, IDC_UNINSTALL, "text ID 55"},
};
// The frame's caption is the page's title.
const char* const kPageTitleSources[kPageCount] = {"text ID 26", "text ID 27", "text ID 0", "text ID 28"};
struct ToolbarSource {
    int command;
    const char* source;
};
ToolbarSource const kToolbarSources[] = {{IDC_THANKS, "product string 22"},
                                         {IDC_DONATE, "text ID 25"},
                                         {IDC_LANGUAGE, "fixed"},
                                         {IDC_FAQ, "fixed"}};

wchar_t const kLocaleVariable[] = L"HUEPEEK_TEXT_FIT_LOCALE";
wchar_t const kFontsSetVariable[] = L"HUEPEEK_TEXT_FIT_FONTS_SET";
// Set: only the languages of the screenshots are measured (at 200 %, where every text grows with
// the dialog units, as at 150 % where each language is measured).
wchar_t const kScreenshotsOnlyVariable[] = L"HUEPEEK_TEXT_FIT_SCREENSHOTS_ONLY";
DWORD const kMeasureTimeoutMs = 45000;  // within the test's own 60 s
wchar_t const kLinksKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
wchar_t const kSubstitutesKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
// Installed fonts that draw what Wine's Tahoma lacks and Windows' Tahoma draws itself or through its
// links: Devanagari, and some of the Vietnamese letters. Wine falls back on them for single glyphs.
wchar_t const kTahomaFallbacks[] = L"Lohit-Devanagari.ttf,Lohit Devanagari\0DejaVuSans.ttf,DejaVu Sans\0";
wchar_t const kSettingsKey[] = L"Software\\Vantorel\\Huepeek";

std::string Utf8(const std::wstring& text) {
    int const bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring ProgramDir() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

std::wstring WindowTextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, ARRAYSIZE(text));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, ARRAYSIZE(name));
    return name;
}

void PumpMessages(DWORD ms) {
    DWORD const end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (LONG(GetTickCount() - end) < 0);
}

HFONT FontOf(HWND control) {
    HFONT const font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Measures texts in a font and tells whether the font (or a font Wine links to it) draws a
// character: its picture must differ from that of a code point no font has (drawn as the box of
// a missing glyph) and must not be blank.
class TextGauge {
  public:
    TextGauge() {
        screen_ = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen_);
        BITMAPINFO info = TopDownInfo(kSide, kSide);
        bitmap_ =
            CreateDIBSection(screen_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        oldBitmap_ = SelectObject(dc_, bitmap_);
    }
    ~TextGauge() {
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    TextGauge(const TextGauge&) = delete;
    TextGauge& operator=(const TextGauge&) = delete;

    // The text's box as DrawTextW lays it out in the font (DT_CALCRECT), wrapped at wrapWidth.
    SIZE Box(HFONT font, const std::wstring& text, UINT format, int wrapWidth) {
        HGDIOBJ const old = SelectObject(dc_, font);
        RECT rect = {0, 0, wrapWidth, 0};
        DrawTextW(dc_, text.c_str(), int(text.size()), &rect, format | DT_CALCRECT);
        SelectObject(dc_, old);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

    int ZeroWidth(HFONT font) {
        HGDIOBJ const old = SelectObject(dc_, font);
        SIZE size = {};
        GetTextExtentPoint32W(dc_, L"0", 1, &size);
        SelectObject(dc_, old);
        return size.cx;
    }

    int LineHeight(HFONT font) {
        HGDIOBJ const old = SelectObject(dc_, font);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc_, &metrics);
        SelectObject(dc_, old);
        return metrics.tmHeight;
    }

    // The family that the font was realised with ("MS Shell Dlg" names none of its own).
    std::wstring FaceOf(HFONT font) {
        HGDIOBJ const old = SelectObject(dc_, font);
        std::wstring face;
        UINT const bytes = GetOutlineTextMetricsW(dc_, 0, nullptr);
        if (bytes) {
            std::vector<BYTE> buffer(bytes);
            auto* const metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
            if (GetOutlineTextMetricsW(dc_, bytes, metrics))
                face = reinterpret_cast<const wchar_t*>(buffer.data() + size_t(metrics->otmpFamilyName));
        }
        if (face.empty()) {
            wchar_t name[LF_FACESIZE] = {};
            GetTextFaceW(dc_, LF_FACESIZE, name);
            face = name;
        }
        SelectObject(dc_, old);
        return face;
    }

    // The characters of the text that the font does not draw.
    std::vector<std::wstring> Undrawn(HFONT font, const std::wstring& text) {
        std::vector<std::wstring> undrawn;
        for (size_t i = 0; i < text.size(); ++i) {
            size_t const units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
            std::wstring const character = text.substr(i, units);
            i += units - 1;
            if (IsInvisible(character[0])) continue;
            auto const key = std::make_pair(font, character);
            auto found = drawn_.find(key);
            if (found == drawn_.end()) found = drawn_.emplace(key, Draws(font, character)).first;
            if (!found->second) undrawn.push_back(character);
        }
        return undrawn;
    }

  private:
    static int const kSide = 64;
    static wchar_t const kNoGlyph = 0x0378;  // unassigned: every font shows its missing glyph

    // Spaces, line ends and the format characters (joiners, direction marks) draw nothing anyway.
    static bool IsInvisible(wchar_t c) {
        WORD type = 0;
        GetStringTypeW(CT_CTYPE1, &c, 1, &type);
        return (type & (C1_SPACE | C1_CNTRL | C1_BLANK)) != 0 || (c >= 0x200B && c <= 0x200F) ||
               (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || c == 0x00AD;
    }

    std::vector<uint32_t> Picture(HFONT font, const std::wstring& character) {
        for (int i = 0; i < kSide * kSide; ++i) bits_[i] = 0xFFFFFF;
        HGDIOBJ const old = SelectObject(dc_, font);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0));
        // Room on every side for marks that sit before, above or below their origin.
        ExtTextOutW(dc_, kSide / 3, kSide / 4, 0, nullptr, character.c_str(), UINT(character.size()),
                    nullptr);
        GdiFlush();
        SelectObject(dc_, old);
        return std::vector<uint32_t>(bits_, bits_ + kSide * kSide);
    }

    bool Draws(HFONT font, const std::wstring& character) {
        auto missing = missing_.find(font);
        if (missing == missing_.end()) missing = missing_.emplace(font, Picture(font, {kNoGlyph})).first;
        std::vector<uint32_t> const picture = Picture(font, character);
        bool blank = true;
        for (uint32_t pixel : picture) blank = blank && (pixel & 0xFFFFFF) == 0xFFFFFF;
        return !blank && picture != missing->second;
    }

    HDC screen_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    std::map<HFONT, std::vector<uint32_t>> missing_;
    std::map<std::pair<HFONT, std::wstring>, bool> drawn_;
};

// The keys a user is likely to give the hot key, which the field names by GetKeyNameTextW: the
// named keys of the main block and of the extended block, the function keys, letters, digits and
// the keypad. Under Wine the names are the X key names ("KP_Next", "Scroll_Lock").
std::vector<UINT> HotKeyCandidates() {
    std::vector<UINT> keys = {VK_BACK,   VK_TAB,      VK_RETURN, VK_PAUSE,    VK_SPACE,   VK_PRIOR,
                              VK_NEXT,   VK_END,      VK_HOME,   VK_LEFT,     VK_UP,      VK_RIGHT,
                              VK_DOWN,   VK_SNAPSHOT, VK_INSERT, VK_DELETE,   VK_APPS,    VK_NUMLOCK,
                              VK_SCROLL, VK_MULTIPLY, VK_ADD,    VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE};
    for (UINT key = VK_F1; key <= VK_F24; ++key) keys.push_back(key);
    for (UINT key = 'A'; key <= 'Z'; ++key) keys.push_back(key);
    for (UINT key = '0'; key <= '9'; ++key) keys.push_back(key);
    for (UINT key = VK_NUMPAD0; key <= VK_NUMPAD9; ++key) keys.push_back(key);
    return keys;
}

// A key's names as the field may give it: the field tells the keys of the extended block from
// their twins on the keypad by a flag that a key typed there carries, so both names count. A key
// that this keyboard has no scan code for has no name of its own.
std::vector<std::wstring> KeyNames(UINT key) {
    std::vector<std::wstring> names;
    UINT const scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (!scanCode) return names;
    for (LONG const extended : {0L, 1L << 24}) {
        wchar_t name[64] = {};
        if (GetKeyNameTextW(LONG(scanCode) << 16 | extended, name, ARRAYSIZE(name)) > 0)
            names.push_back(name);
    }
    return names;
}

// The field's longest text in its font: Ctrl, Shift and Alt together (Win is the box beside it)
// with the key of the longest name, joined by " + " as the field joins them.
std::wstring WidestHotKeyText(TextGauge* gauge, HFONT font) {
    std::wstring modifiers;
    for (UINT const modifier : {VK_CONTROL, VK_SHIFT, VK_MENU}) {
        std::vector<std::wstring> const names = KeyNames(modifier);
        if (names.empty()) {
            ADD_FAILURE() << "the keyboard names no modifier key " << modifier;
            return L"";
        }
        modifiers += names[0] + L" + ";
    }
    std::wstring widest;
    int widestWidth = -1;
    for (UINT const key : HotKeyCandidates()) {
        for (std::wstring const& name : KeyNames(key)) {
            std::wstring const text = modifiers + name;
            int const width = gauge->Box(font, text, DT_SINGLELINE | DT_NOPREFIX, 0).cx;
            if (width > widestWidth) {
                widestWidth = width;
                widest = text;
            }
        }
    }
    return widest;
}

// The scale at which the test runs (at_dpi.exe sets another for a whole test process).
int const kNormalDpi = 96;
int SystemDpi() {
    HDC const screen = GetDC(nullptr);
    int const dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string WindowName(int window) {
    static const char* const kNames[kPageCount] = {"picker page", "Info page", "blank page", "More page"};
    return window == kMainWindow ? "main dialog" : kNames[window];
}

std::string SourceOf(int window, int control) {
    for (TextSource const& source : kTextSources)
        if (source.window == window && source.control == control) return source.source;
    return "template text";
}

// Measures the texts of one language in the dialog as it stands and reports every overflow.
class FitChecker {
  public:
    FitChecker(TextGauge* gauge, const char* language) : gauge_(gauge), language_(language) {}

    // Each control's text must fit it, and no control may run into another (a picture grown to the
    // system's large icon size once ran into the text below it).
    void CheckControls(int window, HWND parent) {
        RECT area = {};
        GetClientRect(parent, &area);
        std::vector<std::pair<int, RECT>> shown;
        for (HWND control = GetWindow(parent, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            LONG const style = GetWindowLongW(control, GWL_STYLE);
            if (!(style & WS_VISIBLE)) continue;
            RECT rect = {};
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
            RECT inside = {};
            // Controls wholly outside the page (the Info page's OK and Cancel) are never seen.
            if (!IntersectRect(&inside, &rect, &area)) continue;
            std::wstring const kind = ClassOf(control);
            int const id = GetDlgCtrlID(control);
            if (id == IDC_PAGE_FRAME) continue;  // its caption changes with the page: CheckFrameCaption
            // The pages and the toolbar (they have no number) lie over the frame and the lines.
            if (id) shown.push_back({id, rect});
            std::string const where = WindowName(window) + " control " + std::to_string(id);
            std::string const source = SourceOf(window, id);
            if (kind == L"Button") CheckButton(control, where, source, style);
            if (kind == L"Static") CheckStatic(control, where, source, style);
            if (kind == L"Edit") CheckEdit(control, where, source);
            if (kind == HOTKEY_CLASSW) CheckHotKeyField(control, where);
        }
        for (size_t a = 0; a < shown.size(); ++a) {
            for (size_t b = a + 1; b < shown.size(); ++b) {
                RECT both = {};
                if (IntersectRect(&both, &shown[a].second, &shown[b].second))
                    ADD_FAILURE() << language_ << ": " << WindowName(window) << " controls " << shown[a].first
                                  << " and " << shown[b].first << " overlap by " << both.right - both.left
                                  << " x " << both.bottom - both.top << " px";
            }
        }
    }

    void CheckFrameCaption(HWND frame, int page) {
        std::wstring const text = WindowTextOf(frame);
        RECT client = {};
        GetClientRect(frame, &client);
        HFONT const font = FontOf(frame);
        SIZE const box = gauge_->Box(font, text, DT_SINGLELINE, 0);
        std::string const where = "frame caption on the " + WindowName(page);
        Report(where, kPageTitleSources[page], text, box.cx - (client.right - 2 * kGroupCaptionIndent), 0);
        CheckGlyphs(where, font, text);
    }

    // The toolbar's buttons size themselves to their texts; together they must end within the
    // page frame's right edge, inside the dialog's visible client area.
    void CheckToolbar(HWND dialog, HWND toolbar, HWND frame) {
        RECT frameRect = {};
        GetWindowRect(frame, &frameRect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&frameRect), 2);
        RECT client = {};
        GetClientRect(dialog, &client);
        HFONT const font = FontOf(toolbar);
        int const count = int(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button = {};
            SendMessageW(toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
            wchar_t text[512] = {};
            SendMessageW(toolbar, TB_GETBUTTONTEXTW, WPARAM(button.idCommand),
                         reinterpret_cast<LPARAM>(text));
            RECT rect = {};
            SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rect));
            MapWindowPoints(toolbar, dialog, reinterpret_cast<POINT*>(&rect), 2);
            const char* source = "fixed";
            for (ToolbarSource const& known : kToolbarSources)
                if (known.command == button.idCommand) source = known.source;
            std::string const where = "toolbar button " + std::to_string(button.idCommand);
            Report(where, source, text, rect.right - frameRect.right, rect.bottom - client.bottom);
            CheckGlyphs(where, font, text);
        }
    }

  private:
    void CheckButton(HWND control, const std::string& where, const std::string& source, LONG style) {
        std::wstring const text = WindowTextOf(control);
        if (text.empty()) return;
        RECT client = {};
        GetClientRect(control, &client);
        HFONT const font = FontOf(control);
        SIZE const box = gauge_->Box(font, text, DT_SINGLELINE, 0);
        LONG const type = style & BS_TYPEMASK;
        bool const checkBox =
            (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
             type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
            !(style & BS_PUSHLIKE);
        if (type == BS_GROUPBOX) {
            Report(where, source, text, box.cx - (client.right - 2 * kGroupCaptionIndent), 0);
        } else if (checkBox) {
            int const labelStart = kCheckBoxSide + gauge_->ZeroWidth(font) / 2 + 1;
            Report(where, source, text, box.cx - (client.right - labelStart - 1), box.cy - client.bottom);
        } else {
            Report(where, source, text, box.cx - (client.right - 2 * kButtonLabelInset),
                   box.cy - (client.bottom - 2 * kButtonLabelInset));
        }
        CheckGlyphs(where, font, text);
    }

    // Statics of the left, centre and right kinds wrap at word breaks.
    void CheckStatic(HWND control, const std::string& where, const std::string& source, LONG style) {
        LONG const type = style & SS_TYPEMASK;
        if (type == SS_ICON) {
            CheckPicture(control, where);
            return;
        }
        bool const wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        if (!wraps && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) return;  // pictures and lines
        std::wstring const text = WindowTextOf(control);
        if (text.empty()) return;
        RECT client = {};
        GetClientRect(control, &client);
        HFONT const font = FontOf(control);
        UINT const format = DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE) |
                            ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        SIZE const box = gauge_->Box(font, text, format, client.right);
        Report(where, source, text, box.cx - client.right, box.cy - client.bottom);
        CheckGlyphs(where, font, text);
    }

    // A picture's icon is drawn whole in its box.
    void CheckPicture(HWND control, const std::string& where) {
        RECT client = {};
        GetClientRect(control, &client);
        ICONINFO info = {};
        HICON const icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
        if (!icon || !GetIconInfo(icon, &info)) {
            ADD_FAILURE() << language_ << ": " << where << " shows no icon";
            return;
        }
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        if (bitmap.bmWidth > client.right || bitmap.bmHeight > client.bottom)
            ADD_FAILURE() << language_ << ": " << where << " cuts its " << bitmap.bmWidth << " x "
                          << bitmap.bmHeight << " px icon to " << client.right << " x " << client.bottom;
    }

    // A multi-line edit wraps by itself; its lines must fit its formatting rectangle.
    void CheckEdit(HWND control, const std::string& where, const std::string& source) {
        std::wstring const text = WindowTextOf(control);
        if (text.empty()) return;
        HFONT const font = FontOf(control);
        RECT format = {};
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        int const lines = int(SendMessageW(control, EM_GETLINECOUNT, 0, 0));
        Report(where, source, text, 0, lines * gauge_->LineHeight(font) - (format.bottom - format.top));
        CheckGlyphs(where, font, text);
    }

    // The field's own text is not its window text: it is made of the key names. Their glyphs are
    // not checked: they are the system's, and under Wine the X names' "_" is left blank by IPA
    // Gothic at the dialog's sizes, though it keeps its width.
    void CheckHotKeyField(HWND control, const std::string& where) {
        HFONT const font = FontOf(control);
        std::wstring const text = WidestHotKeyText(gauge_, font);
        RECT client = {};
        GetClientRect(control, &client);
        SIZE const box = gauge_->Box(font, text, DT_SINGLELINE | DT_NOPREFIX, 0);
        Report(where, "key names", text, kHotKeyTextInset + box.cx + kCaretWidth - client.right,
               kHotKeyTextInset + box.cy - client.bottom);
    }

    void Report(const std::string& where, const std::string& source, const std::wstring& text, int wide,
                int tall) {
        if (wide > 0)
            ADD_FAILURE() << language_ << ": " << where << " (" << source << ") \"" << Utf8(text) << "\" is "
                          << wide << " px too wide";
        if (tall > 0)
            ADD_FAILURE() << language_ << ": " << where << " (" << source << ") \"" << Utf8(text) << "\" is "
                          << tall << " px too tall";
    }

    // Gathered per font and reported once per language by ReportUndrawn.
    void CheckGlyphs(const std::string& where, HFONT font, const std::wstring& text) {
        for (std::wstring const& character : gauge_->Undrawn(font, text)) {
            Undrawn& undrawn = undrawn_[gauge_->FaceOf(font)];
            if (undrawn.where.empty()) undrawn.where = where;
            bool known = false;
            for (std::wstring const& seen : undrawn.characters) known = known || seen == character;
            if (!known) undrawn.characters.push_back(character);
        }
    }

  public:
    void ReportUndrawn() {
        for (auto const& font : undrawn_) {
            std::string list;
            for (std::wstring const& character : font.second.characters) {
                char code[16];
                wsprintfA(code, "U+%04X ", unsigned(character[0]));
                list += code + Utf8(character) + " ";
            }
            ADD_FAILURE() << language_ << ": the font " << Utf8(font.first)
                          << " draws the box of a missing glyph for " << list << "(first in the "
                          << font.second.where << "); widths measured with it mean nothing";
        }
        undrawn_.clear();
    }

  private:
    struct Undrawn {
        std::string where;
        std::vector<std::wstring> characters;
    };
    std::map<std::wstring, Undrawn> undrawn_;
    TextGauge* gauge_;
    const char* language_;
};

// The settings the dialog reads and writes, cleared before and after.
class ScopedCleanSettings {
  public:
    ScopedCleanSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    ~ScopedCleanSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
};

// A registry value of the local machine as it was, put back when the scope ends.
class ScopedMachineValue {
  public:
    ScopedMachineValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
        HKEY handle;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
        DWORD bytes = 0;
        if (RegQueryValueExW(handle, name, nullptr, &type_, nullptr, &bytes) == ERROR_SUCCESS) {
            data_.resize(bytes);
            had_ = RegQueryValueExW(handle, name, nullptr, &type_, data_.data(), &bytes) == ERROR_SUCCESS;
        }
        RegCloseKey(handle);
    }
    ~ScopedMachineValue() {
        HKEY handle;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (had_)
            RegSetValueExW(handle, name_, 0, type_, data_.data(), DWORD(data_.size()));
        else
            RegDeleteValueW(handle, name_);
        RegCloseKey(handle);
    }
    ScopedMachineValue(const ScopedMachineValue&) = delete;
    ScopedMachineValue& operator=(const ScopedMachineValue&) = delete;

    // The value as it was, as a list of texts (one text for REG_SZ).
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        if (!had_ || (type_ != REG_SZ && type_ != REG_MULTI_SZ)) return texts;
        const wchar_t* text = reinterpret_cast<const wchar_t*>(data_.data());
        const wchar_t* const end = text + data_.size() / sizeof(wchar_t);
        while (text < end && *text) {
            texts.emplace_back(text);
            text += texts.back().size() + 1;
        }
        return texts;
    }

    bool Write(DWORD type, const std::wstring& data) const {
        HKEY handle;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return false;
        bool const ok = RegSetValueExW(handle, name_, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                                       DWORD((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegCloseKey(handle);
        return ok;
    }

  private:
    const wchar_t* key_;
    const wchar_t* name_;
    bool had_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Runs this test again in a new process of the same locale, with the fonts as they are set now;
// returns its exit code (STILL_ACTIVE when it hung) and its output.
DWORD MeasureInNewProcess(std::string* output) {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    wchar_t outputPath[MAX_PATH] = {}, tempDir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempDir);
    GetTempFileNameW(tempDir, L"fit", 0, outputPath);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE const out = CreateFileW(outputPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_TEMPORARY, nullptr);
    std::wstring command =
        std::wstring(L"\"") + path + L"\" --gtest_filter=MainDialogTextFitTest.TextsOfOneLocaleFit";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableW(kFontsSetVariable, L"1");
    BOOL const started =
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(kFontsSetVariable, nullptr);
    CloseHandle(out);
    DWORD code = STILL_ACTIVE;
    if (started) {
        if (WaitForSingleObject(process.hProcess, kMeasureTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, STILL_ACTIVE);
        WaitForSingleObject(process.hProcess, 5000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    HANDLE const in =
        CreateFileW(outputPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(in, buffer, sizeof(buffer), &read, nullptr) && read) output->append(buffer, read);
        CloseHandle(in);
    }
    DeleteFileW(outputPath);
    return code;
}

// Shown as a user brings the page up: by its button, or by the command of the hidden one.
void SaveDialogScreenshot(HWND dialog, int page, const char* language, const std::string& suffix) {
    static int const kPageButtons[kPageCount] = {IDC_TAB_PICKER, IDC_TAB_INFO, IDC_TAB_BLANK, IDC_TAB_MORE};
    ShowWindow(dialog, SW_SHOW);
    HWND const button = GetDlgItem(dialog, kPageButtons[page]);
    if (IsWindowVisible(button))
        SendMessageW(button, BM_CLICK, 0, 0);
    else
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPageButtons[page], BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(150);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    // "Spanish (Latin America)" becomes "spanish_latin_america".
    std::string name;
    for (const char* c = language; *c; ++c) {
        if (isalpha(static_cast<unsigned char>(*c)))
            name += char(tolower(static_cast<unsigned char>(*c)));
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    // At another scale than 100 %, the scale is in the name: "main_dialog_picker_english_144dpi".
    if (SystemDpi() != kNormalDpi) name += "_" + std::to_string(SystemDpi()) + "dpi";
    name += suffix;  // "_moved_to_192dpi"
    std::wstring const file = ScreenshotDir() + L"\\main_dialog_" +
                              std::wstring(kPageNames[page], kPageNames[page] + strlen(kPageNames[page])) +
                              L"_" + std::wstring(name.begin(), name.end()) + L".png";
    EXPECT_TRUE(SaveScreenshot(rect, file)) << Utf8(file);
}

std::vector<std::wstring> MeasuredLocales() {
    std::vector<std::wstring> locales;
    std::string const list = HUEPEEK_TEXT_FIT_LOCALES;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        locales.emplace_back(list.begin() + ptrdiff_t(start), list.begin() + ptrdiff_t(end));
        start = end + 1;
    }
    return locales;
}

// The build runs TextsOfOneLocaleFit once for each locale of its list, in a process of its own:
// Wine takes the locale, and with it the dialog font and its fallbacks, from LC_ALL when a process
// starts. Every language of the archive must be measured under one of them.
TEST(MainDialogTextFitTest, EveryLanguageIsMeasuredUnderALocale) {
    ASSERT_TRUE(g_language.LoadArchive((ProgramDir() + L"\\huepeek.exe").c_str()));
    std::vector<std::wstring> const measured = MeasuredLocales();
    std::vector<int> groups(size_t(g_language.Archive().languageCount), 0);
    for (LocaleGroup const& group : kLocaleGroups) {
        bool run = false;
        for (std::wstring const& locale : measured) run = run || locale == group.lcAll;
        EXPECT_TRUE(run) << Utf8(group.lcAll) << " is not in the build's list of text-fit locales";
        for (Language const& language : group.languages)
            if (language.slot >= 0 && language.slot < g_language.Archive().languageCount)
                ++groups[size_t(language.slot)];
    }
    int languages = 0;
    for (int slot = 0; slot < g_language.Archive().languageCount; ++slot) {
        // The section after the last language's has no name and no texts.
        if (!g_language.Archive().slotName[slot]) continue;
        ++languages;
        EXPECT_EQ(1, groups[size_t(slot)]) << "language slot " << slot << " is measured under one locale";
    }
    EXPECT_EQ(35, languages);
}

TEST(MainDialogTextFitTest, TextsOfOneLocaleFit) {
    wchar_t wanted[64] = {};
    if (!GetEnvironmentVariableW(kLocaleVariable, wanted, ARRAYSIZE(wanted)))
        GTEST_SKIP() << "run under each locale of the build's list, with LC_ALL and this variable set";
    const LocaleGroup* group = nullptr;
    for (LocaleGroup const& candidate : kLocaleGroups)
        if (lstrcmpW(candidate.lcAll, wanted) == 0) group = &candidate;
    ASSERT_TRUE(group) << Utf8(wanted);
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    ASSERT_STREQ(group->localeName, locale) << "the locale did not take effect";

    // Wine rewrites its font links and substitutes whenever a process starts under another code
    // page than the one before, as this one may have. So the fallback fonts are set here, and the
    // texts measured in a new process of the same locale, which finds them as they are.
    if (!GetEnvironmentVariableW(kFontsSetVariable, nullptr, 0)) {
        ScopedMachineValue links(kLinksKey, L"Tahoma");
        ScopedMachineValue shellDialog(kSubstitutesKey, L"MS Shell Dlg");
        std::wstring linked;
        for (std::wstring const& link : links.Texts()) linked += link + L'\0';
        ASSERT_TRUE(links.Write(REG_MULTI_SZ,
                                linked + std::wstring(kTahomaFallbacks, ARRAYSIZE(kTahomaFallbacks) - 1)));
        if (group->windowsShellDialogFont) {
            ASSERT_TRUE(shellDialog.Write(REG_SZ, L"Microsoft Sans Serif"));
        }
        std::string output;
        DWORD const code = MeasureInNewProcess(&output);
        printf("%s", output.c_str());
        EXPECT_EQ(0u, code) << "the measuring process failed";
        return;
    }

    ScopedCleanSettings settings;
    g_instance = GetModuleHandleW(nullptr);
    InitializeCommonControls();
    ASSERT_TRUE(g_language.LoadArchive((ProgramDir() + L"\\huepeek.exe").c_str()));
    // The picker page's note shows, with the longest combination the field offers.
    TakenHotKey const taken;
    ASSERT_TRUE(taken.Taken());
    StartSettings const& start = taken.Start();
    // Made hidden; shown only for the screenshots.
    HWND const dialog = CreateMainDialog(&g_mainDialog, nullptr, start, true);
    ASSERT_TRUE(dialog);
    PumpMessages(0);  // the pages not shown at start are made from a message the dialog posts itself
    HWND const frame = GetDlgItem(dialog, IDC_PAGE_FRAME);

    TextGauge gauge;
    bool const screenshotsOnly = GetEnvironmentVariableW(kScreenshotsOnlyVariable, nullptr, 0) != 0;
    // movedTo: the DPI of the monitor that the dialog was moved onto, or 0.
    auto measure = [&](UINT movedTo) {
        for (Language const& language : group->languages) {
            bool shown = false;
            for (Screenshot const& shot : kScreenshots) shown = shown || shot.slot == language.slot;
            if (screenshotsOnly && !shown) continue;
            g_language.Use(language.slot);
            SetTitleAndToolbar(&g_mainDialog);
            std::string const name =
                std::string(language.name) + (movedTo ? " moved to " + std::to_string(movedTo) + " dpi" : "");
            FitChecker checker(&gauge, name.c_str());
            checker.CheckControls(kMainWindow, dialog);
            for (int page = 0; page < kPageCount; ++page) checker.CheckControls(page, g_pages[page]);
            checker.CheckToolbar(dialog, g_mainDialog.toolbar, frame);
            for (int page = 0; page < kPageCount; ++page) {
                SelectPage(&g_mainDialog, page);
                checker.CheckFrameCaption(frame, page);
            }
            checker.ReportUndrawn();
            printf("%s at %d dpi: dialog font %s, picker button %s, toolbar %s\n", name.c_str(), SystemDpi(),
                   Utf8(gauge.FaceOf(FontOf(GetDlgItem(dialog, IDC_EXIT)))).c_str(),
                   Utf8(gauge.FaceOf(FontOf(GetDlgItem(g_pages[kPickerPage], IDC_PICK)))).c_str(),
                   Utf8(gauge.FaceOf(FontOf(g_mainDialog.toolbar))).c_str());
            for (Screenshot const& shot : kScreenshots) {
                if (shot.slot != language.slot) continue;
                if (!movedTo) {
                    for (int page : shot.pages) SaveDialogScreenshot(dialog, page, language.name, "");
                } else if (shot.moved) {
                    SaveDialogScreenshot(dialog, kPickerPage, language.name,
                                         "_moved_to_" + std::to_string(movedTo) + "dpi");
                }
            }
            SelectPage(&g_mainDialog, kPickerPage);
        }
    };
    measure(0);
    // Moved onto a monitor of twice the scale, the dialog lays itself out again: measured there too.
    if (SystemDpi() == kNormalDpi) {
        // Whole on the screen for the screenshots.
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        dpi_change::SendDpiChange(dialog, 2 * kNormalDpi);
        measure(2 * kNormalDpi);
        dpi_change::SendDpiChange(dialog, kNormalDpi);
    }
    DestroyWindow(dialog);
    g_mainDialog.dialog = nullptr;
    g_mainDialog.toolbar = nullptr;
}

}  // namespace
