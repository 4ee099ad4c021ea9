// The main dialog made in this test process from the program's own resources: the picker button's
// larger font and the banner composed on its ground.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/banner.h"
#include "app/hot_key.h"
#include "app/main_pages.h"
#include "app/startup.h"
#include "base/display_scale.h"
#include "base/process_state.h"
#include "dpi_change.h"
#include "harness.h"
#include "lang/string_table.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "taken_hot_key.h"
#include "tests/unit/theme/test_windows.h"

namespace {

class MainDialogInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek");
        g_instance = GetModuleHandleW(nullptr);
        InitializeCommonControls();
        ASSERT_TRUE(g_language.LoadArchive((e2e::TestProgramDir() + L"\\huepeek.exe").c_str()));
        StartSettings settings;
        ReadStartSettings(&settings);
        dialog_ = CreateMainDialog(&g_mainDialog, nullptr, settings, true);  // made hidden
        ASSERT_NE(nullptr, dialog_);
        // As the message loop does right after the start: the pages not shown are made then.
        theme_test::DispatchQueued();
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        g_mainDialog = MainDialog();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek");
    }
    static LONG FontHeight(HWND window) {
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
        return font.lfHeight;
    }
    HWND dialog_ = nullptr;
};

LONG FontHeightOf(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return {0, 0};
    SIZE const size = BitmapSize(info.hbmColor ? info.hbmColor : info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

RECT RectIn(HWND parent, HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Everything of the dialog that a change of DPI moves or makes again, one line a window: the dialog,
// every control of it and of its pages with its font, the toolbar's buttons, the pictures' icons
// and the banner's composed bitmap.
std::vector<std::string> DescribeLayout(HWND dialog) {
    RECT window = {};
    GetWindowRect(dialog, &window);
    std::vector<std::string> lines = {"dialog " + Describe(window)};
    std::vector<HWND> parents = {dialog};
    parents.insert(parents.end(), g_pages, g_pages + kPageCount);
    for (size_t p = 0; p < parents.size(); ++p) {
        for (HWND child = GetWindow(parents[p], GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::string line = std::to_string(p) + "/" + std::to_string(GetDlgCtrlID(child)) + " " +
                               Describe(RectIn(parents[p], child)) + " font " +
                               std::to_string(FontHeightOf(child));
            SIZE const icon = IconSize(reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)));
            if (icon.cx) line += " icon " + std::to_string(icon.cx) + "x" + std::to_string(icon.cy);
            lines.push_back(line);
        }
    }
    int const buttons = int(SendMessageW(g_mainDialog.toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons; ++i) {
        RECT rect = {};
        SendMessageW(g_mainDialog.toolbar, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rect));
        lines.push_back("toolbar button " + std::to_string(i) + " " + Describe(rect));
    }
    SIZE const banner = BitmapSize(g_banner.picture);
    lines.push_back("banner " + std::to_string(banner.cx) + "x" + std::to_string(banner.cy));
    return lines;
}

// One and a half times the dialog font's height, cut toward zero (-11 becomes -16), made once.
TEST_F(MainDialogInProcess, PickerButtonFontIsOneAndAHalfTimesTheDialogFontAndMadeOnce) {
    HWND const pick = GetDlgItem(g_pages[0], IDC_PICK);
    LONG const dialogHeight = FontHeight(dialog_);
    ASSERT_NE(0, dialogHeight);
    EXPECT_EQ(LONG(dialogHeight * 1.5), FontHeight(pick));
    HFONT const font = reinterpret_cast<HFONT>(SendMessageW(pick, WM_GETFONT, 0, 0));
    for (int page = 0; page < kPageCount; ++page) SelectPage(&g_mainDialog, page);
    SetTitleAndToolbar(&g_mainDialog);
    EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageW(pick, WM_GETFONT, 0, 0))) << "made again";
    EXPECT_EQ(LONG(dialogHeight * 1.5), FontHeight(pick)) << "enlarged again";
}

// Moved onto monitors of 200 % and 150 % and back to 100 % (sent as the system would: Wine shows
// no monitor of another scale), the dialog takes the rectangle the system suggests and every control
// of it and of all four pages stands where the template puts it at that scale, with the fonts a
// dialog made at that DPI has; back at 96 DPI it is as it was.
TEST_F(MainDialogInProcess, DpiChangeLaysOutTheDialogAsMadeAtThatDpiAndBackAgain) {
    ASSERT_EQ(96u, SystemDpi()) << "the test starts at 100 %";
    std::vector<std::string> const before = DescribeLayout(dialog_);
    LOGFONTW iconTitle = {};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0);
    // The templates' rectangles (x, y, width, height in dialog units).
    struct Control {
        int page;  // or -1: the dialog itself
        int id;
        RECT units;
        bool text;  // with the dialog's font (pictures keep none)
    } const kControls[] = {
        {-1, IDC_PAGE_FRAME, {7, 62, 374, 100}, true},
        {-1, IDC_EXIT, {324, 44, 57, 15}, true},
        {-1, IDC_AUTOSTART, {73, 166, 117, 10}, true},
        {-1, IDC_BANNER, {-47, 0, 467, 37}, false},
        {kPickerPage, IDC_PICK, {6, 4, 118, 50}, false},  // its larger font: below
        {kPickerPage, IDC_HOTKEY, {172, 64, 150, 12}, true},
        {kPickerPage, IDC_HOTKEY_NOTE, {6, 79, 354, 8}, true},
        {kPickerPage, IDI_HUEPEEK, {71, 57, 24, 21}, false},
        {kInfoPage, IDC_INFO_NOTICE, {40, 64, 318, 18}, true},
        {kBlankPage, IDC_BLANK_TEXT, {6, 4, 354, 79}, true},
        {kMorePage, IDC_UNINSTALL, {40, 64, 318, 17}, true},
        {kMorePage, IDI_PIXEL, {7, 6, 24, 21}, false},
    };
    for (UINT dpi : {192u, 144u, 96u}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        RECT const suggested = dpi_change::SendDpiChange(dialog_, dpi);
        RECT window = {};
        GetWindowRect(dialog_, &window);
        EXPECT_EQ(Describe(suggested), Describe(window)) << "the suggested rectangle";
        SIZE const base = dpi_change::BaseUnitsAt(dialog_, dpi);
        for (Control const& c : kControls) {
            HWND const parent = c.page < 0 ? dialog_ : g_pages[c.page];
            HWND const control = GetDlgItem(parent, c.id);
            EXPECT_EQ(Describe(dpi_change::Pixels(c.units, base)), Describe(RectIn(parent, control)))
                << "control " << c.id;
            if (c.text) {
                EXPECT_EQ(-MulDiv(dpi_change::kTemplatePoints, int(dpi), 72), FontHeightOf(control))
                    << "control " << c.id;
            }
        }
        // Each page fills the frame's inside below its caption, hidden ones too.
        RECT frame = RectIn(dialog_, GetDlgItem(dialog_, IDC_PAGE_FRAME));
        RECT const inside = {frame.left + 1 + base.cx, frame.top + 1 + MulDiv(9, base.cy, 8),
                             frame.right - 1 - base.cx, frame.bottom - 1 - MulDiv(4, base.cy, 8)};
        for (int page = 0; page < kPageCount; ++page)
            EXPECT_EQ(Describe(inside), Describe(RectIn(dialog_, g_pages[page]))) << "page " << page;
        HWND const pick = GetDlgItem(g_pages[kPickerPage], IDC_PICK);
        EXPECT_EQ(LONG(-MulDiv(dpi_change::kTemplatePoints, int(dpi), 72) * 1.5), FontHeightOf(pick));
        EXPECT_EQ(MulDiv(iconTitle.lfHeight, int(dpi), 96), FontHeightOf(g_mainDialog.toolbar));
        // The pictures take the icon's image that their box holds, the banner a bitmap of its
        // control's size with the whole picture (700 x 60) in it.
        HWND const picture = GetDlgItem(g_pages[kPickerPage], IDI_HUEPEEK);
        RECT box = {};
        GetClientRect(picture, &box);
        SIZE const icon = IconSize(reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0)));
        EXPECT_EQ((box.right < box.bottom ? box.right : box.bottom) & ~7, icon.cx);
        EXPECT_EQ(icon.cx, icon.cy);
        GetClientRect(GetDlgItem(dialog_, IDC_BANNER), &box);
        SIZE const banner = BitmapSize(g_banner.picture);
        EXPECT_EQ(box.right, banner.cx);
        EXPECT_EQ(box.bottom, banner.cy);
        EXPECT_GE(banner.cy, 60);
        SIZE const small =
            IconSize(reinterpret_cast<HICON>(SendMessageW(dialog_, WM_GETICON, ICON_SMALL, 0)));
        EXPECT_EQ(MetricForDpi(SM_CXSMICON, dpi), small.cx) << "the title bar's icon";
    }
    std::vector<std::string> const after = DescribeLayout(dialog_);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i], after[i]) << "back at 96 dpi";
}

// The pages not shown at start are made once the dialog is on screen. A change of DPI and of the
// language before that leaves them as if they had been made with the dialog: where that DPI puts
// their controls, with its fonts, in the tab order, with that language's texts.
TEST_F(MainDialogInProcess, PagesMadeAfterAChangeOfDpiAndLanguageAreAsIfMadeWithTheDialog) {
    auto change = [&] {
        dpi_change::SendDpiChange(dialog_, 144);
        g_language.Use(0);
        SetTitleAndToolbar(&g_mainDialog);
    };
    auto texts = [&] {
        std::vector<std::wstring> lines;
        for (HWND page : g_pages)
            for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                lines.push_back(std::to_wstring(GetDlgCtrlID(child)) + L" " + e2e::WindowText(child) +
                                (IsWindowVisible(child) ? L" shown" : L""));
        return lines;
    };
    change();
    std::vector<std::string> const layout = DescribeLayout(dialog_);
    std::vector<std::wstring> const shown = texts();
    dpi_change::SendDpiChange(dialog_, 96);
    DestroyWindow(dialog_);
    g_language.Use(1);
    StartSettings settings;
    ReadStartSettings(&settings);
    dialog_ = CreateMainDialog(&g_mainDialog, nullptr, settings, true);
    ASSERT_NE(nullptr, dialog_);
    ASSERT_EQ(nullptr, g_pages[kMorePage]) << "made with the dialog";
    change();
    theme_test::DispatchQueued();
    EXPECT_EQ(layout, DescribeLayout(dialog_));
    EXPECT_EQ(shown, texts());
    g_language.Use(1);
}

// The composed banner fills the control: the ground at the edges, the picture in the middle.
TEST_F(MainDialogInProcess, BannerIsCentredOnTheGroundOfItsMode) {
    HWND const control = GetDlgItem(dialog_, IDC_BANNER);
    RECT client;
    GetClientRect(control, &client);
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        ASSERT_EQ(1, DrawBanner(&g_banner, dark ? IDB_BANNER_DARK : IDB_BANNER_LIGHT, IDC_BANNER, dark));
        HBITMAP const shown = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(nullptr, shown);
        BITMAP info = {};
        GetObjectW(shown, sizeof(info), &info);
        EXPECT_EQ(client.right, info.bmWidth);
        EXPECT_EQ(client.bottom, info.bmHeight);
        HDC const memory = CreateCompatibleDC(nullptr);
        HGDIOBJ const old = SelectObject(memory, shown);
        COLORREF const ground = dark ? kBannerGroundDark : kBannerGroundLight;
        EXPECT_EQ(ground, GetPixel(memory, 0, 0));
        EXPECT_EQ(ground, GetPixel(memory, info.bmWidth - 1, info.bmHeight - 1));
        int picture = 0;
        for (int x = info.bmWidth / 4; x < info.bmWidth * 3 / 4; x += 3)
            if (GetPixel(memory, x, info.bmHeight / 2) != ground) ++picture;
        EXPECT_GT(picture, 10) << "no picture in the middle";
        SelectObject(memory, old);
        DeleteDC(memory);
    }
}

TEST_F(MainDialogInProcess, MissingBannerBitmapLeavesThePictureAsItIs) {
    HWND const control = GetDlgItem(dialog_, IDC_BANNER);
    HANDLE const before = reinterpret_cast<HANDLE>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    HBITMAP const kept = g_banner.picture;
    int const kNoSuchBitmap = 9999;
    EXPECT_EQ(0, DrawBanner(&g_banner, kNoSuchBitmap, IDC_BANNER, false));
    EXPECT_EQ(before, reinterpret_cast<HANDLE>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_EQ(kept, g_banner.picture);
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(kept)) << "the shown picture was deleted";
}

// The button of the page shown is marked: at start, after a page button, and after a language
// change, which also brings the picker page back in place of the blank one.
TEST_F(MainDialogInProcess, TheButtonOfThePageShownIsMarked) {
    auto marked = [&] {
        std::vector<int> ids;
        for (int id : {IDC_TAB_PICKER, IDC_TAB_BLANK, IDC_TAB_INFO, IDC_TAB_MORE})
            if (IsDlgButtonChecked(dialog_, id)) ids.push_back(id);
        return ids;
    };
    EXPECT_EQ(std::vector<int>{IDC_TAB_PICKER}, marked()) << "at start";
    SendMessageW(dialog_, WM_COMMAND, IDC_TAB_MORE, 0);
    EXPECT_EQ(std::vector<int>{IDC_TAB_MORE}, marked());
    g_language.Use(0);
    SetTitleAndToolbar(&g_mainDialog);
    EXPECT_EQ(std::vector<int>{IDC_TAB_MORE}, marked()) << "after a language change";
    SendMessageW(dialog_, WM_COMMAND, IDC_TAB_BLANK, 0);
    EXPECT_EQ(std::vector<int>{IDC_TAB_BLANK}, marked());
    g_language.Use(1);
    SetTitleAndToolbar(&g_mainDialog);
    EXPECT_EQ(std::vector<int>{IDC_TAB_PICKER}, marked()) << "the blank page gave way to the picker page";
}

// "c_wnd" is written when the page changes, not when a language change selects the same page again.
TEST_F(MainDialogInProcess, ThePageIsStoredOnlyWhenItChanges) {
    auto stored = [] {
        wchar_t text[kSettingTextChars] = {};
        return ReadSettingText(L"Program", L"c_wnd", text) ? std::wstring(text) : std::wstring(L"<none>");
    };
    EXPECT_EQ(L"0", stored()) << "page 2 by default, then the picker page";
    SendMessageW(dialog_, WM_COMMAND, IDC_TAB_MORE, 0);
    EXPECT_EQ(L"3", stored());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek\\Program", 0,
                                           KEY_SET_VALUE, &key));
    RegDeleteValueW(key, L"c_wnd");
    RegCloseKey(key);
    SetTitleAndToolbar(&g_mainDialog);
    SendMessageW(dialog_, WM_COMMAND, IDC_TAB_MORE, 0);
    EXPECT_EQ(L"<none>", stored()) << "written again unchanged";
    SendMessageW(dialog_, WM_COMMAND, IDC_TAB_INFO, 0);
    EXPECT_EQ(L"1", stored());
}

// "start_tray" as read at start decides both whether the dialog shows and its check box: another
// copy of the program changing the setting meanwhile changes neither, nor makes them disagree.
TEST_F(MainDialogInProcess, StartTrayIsTheValueReadAtStart) {
    DestroyWindow(dialog_);
    for (int atStart : {0, 1}) {
        WriteSetting(Setting::kStartTray, atStart);
        StartSettings settings;
        ReadStartSettings(&settings);
        WriteSetting(Setting::kStartTray, !atStart);
        dialog_ = CreateMainDialog(&g_mainDialog, nullptr, settings, false);
        ASSERT_NE(nullptr, dialog_);
        EXPECT_EQ(!atStart, IsWindowVisible(dialog_) != FALSE) << "start_tray " << atStart;
        EXPECT_EQ(UINT(atStart), IsDlgButtonChecked(dialog_, IDC_START_TRAY)) << "start_tray " << atStart;
        DestroyWindow(dialog_);
    }
    dialog_ = nullptr;
}

// The key that the first single "&" of a control's text marks, in upper case, or 0.
wchar_t AccessKey(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    for (int i = 0; text[i] && text[i + 1]; ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return wchar_t(
            reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<wchar_t*>(UINT_PTR(text[i + 1])))));
    }
    return 0;
}

// In every language each button of what the dialog shows at once has an access key, and no two
// controls shown share one (of two alike, the dialog manager reaches only the first); the frame's
// caption, a page title, shows none, or it would take the key of its page's button.
TEST_F(MainDialogInProcess, EachButtonShownHasAnAccessKeyOfItsOwnInEveryLanguage) {
    int const pages[] = {kPickerPage, kInfoPage, kMorePage};
    for (int slot = 0; slot < 35; ++slot) {
        g_language.Use(slot);
        // Selecting a page is what takes the time here: each language shows one page's title in
        // the frame, in turn. The texts of every page are set, and a control's own visibility does
        // not depend on the page shown, so each page's view is read as it is.
        g_currentPage = pages[slot % 3];
        SetTitleAndToolbar(&g_mainDialog);
        for (int page : pages) {
            std::map<wchar_t, int> owners;
            for (HWND parent : {dialog_, g_pages[page]}) {
                for (HWND control = GetWindow(parent, GW_CHILD); control;
                     control = GetWindow(control, GW_HWNDNEXT)) {
                    LONG const style = GetWindowLongW(control, GWL_STYLE);
                    LRESULT const code = SendMessageW(control, WM_GETDLGCODE, 0, 0);
                    if (!(style & WS_VISIBLE) || !(code & (DLGC_BUTTON | DLGC_STATIC))) continue;
                    int const id = GetDlgCtrlID(control);
                    wchar_t const key = AccessKey(control);
                    if (id == IDC_PAGE_FRAME) {
                        EXPECT_EQ(0, key) << "slot " << slot << ": the caption of page " << page;
                        continue;
                    }
                    if (code & DLGC_BUTTON) {
                        EXPECT_NE(0, key)
                            << "slot " << slot << ", page " << page << ": button " << id << " has none";
                    }
                    if (key && !owners.insert({key, id}).second)
                        ADD_FAILURE() << "slot " << slot << ", page " << page << ": controls " << owners[key]
                                      << " and " << id << " share their access key";
                }
            }
        }
    }
    g_language.Use(1);
}

}  // namespace

namespace {

bool ReadsRightToLeftOnScreen(HWND control) {
    return (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

// Every translated text of the dialog and its pages reads as its language does, mixed texts
// included: "Start with Windows", the hot-key label's colon, and the note on a hot key another
// program holds, whose translation begins with the Latin "%s" and then the key's name. Switching
// back to a left-to-right language takes the reading order away again. The check boxes keep their
// boxes where the template puts them (the dialog is not mirrored). The system draws by the style;
// Wine 8's buttons and static texts ignore it, so this looks at the style, not the pixels.
TEST_F(MainDialogInProcess, RightToLeftLanguagesReadFromRightToLeft) {
    TakenHotKey const taken;
    ASSERT_TRUE(taken.Taken());
    // The button's own style bits: its kind, the box's side and the text's alignment.
    LONG const autostartStyle = GetWindowLongW(GetDlgItem(dialog_, IDC_AUTOSTART), GWL_STYLE) & 0xFFFF;
    struct Control {
        int page;  // -1: the dialog itself
        int id;
    } const controls[] = {{-1, IDC_TAB_INFO},
                          {-1, IDC_TAB_MORE},
                          {-1, IDC_EXIT},
                          {-1, IDC_TO_TRAY},
                          {-1, IDC_AUTOSTART},
                          {-1, IDC_START_TRAY},
                          {-1, IDC_PAGE_FRAME},
                          {kPickerPage, IDC_USAGE},
                          {kPickerPage, IDC_HOTKEY_LABEL},
                          {kPickerPage, IDC_HOTKEY_NOTE},
                          {kMorePage, IDC_RECOMMEND},
                          {kMorePage, IDC_SEND},
                          {kMorePage, IDC_MORE_FREEWARE},
                          {kMorePage, IDC_UNINSTALL}};
    struct {
        int slot;
        bool rightToLeft;
    } const cases[] = {{1, false}, {11, true}, {0, false}, {24, true}, {25, true}, {4, false}};
    for (const auto& c : cases) {
        g_language.Use(c.slot);
        SetTitleAndToolbar(&g_mainDialog);
        for (Control const& control : controls) {
            HWND const window = GetDlgItem(control.page < 0 ? dialog_ : g_pages[control.page], control.id);
            EXPECT_EQ(c.rightToLeft, ReadsRightToLeftOnScreen(window))
                << "slot " << c.slot << ", control " << control.id;
        }
        // The toolbar draws its buttons' texts itself, by the flags it is given.
        EXPECT_EQ(c.rightToLeft ? DT_RTLREADING : 0,
                  SendMessageW(g_mainDialog.toolbar, TB_SETDRAWTEXTFLAGS, 0, 0) & DT_RTLREADING)
            << c.slot;
        // The picker button's "? Pixel ?" and the product name have no letter of those scripts.
        EXPECT_FALSE(ReadsRightToLeftOnScreen(GetDlgItem(g_pages[kPickerPage], IDC_PICK))) << c.slot;
        EXPECT_FALSE(ReadsRightToLeftOnScreen(GetDlgItem(dialog_, IDC_TAB_PICKER))) << c.slot;
        EXPECT_EQ(autostartStyle, GetWindowLongW(GetDlgItem(dialog_, IDC_AUTOSTART), GWL_STYLE) & 0xFFFF)
            << c.slot;
    }
    g_language.Use(1);
}

}  // namespace
