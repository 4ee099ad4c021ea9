// The creation hook on this thread, with dark mode played by the doubles: real dialogs and controls
// are created under it, and the theme calls and subclassing it makes are looked at per window.
#include "theme/creation_hook.h"

#include <map>

#include "system_double.h"
#include "test_windows.h"

namespace theme_test {
namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

bool Subclassed(HWND window) {
    return ULONG_PTR(GetWindowLongPtrW(window, GWLP_WNDPROC)) != GetClassLongPtrW(window, GCLP_WNDPROC);
}

int AllowedCount(HWND window) {
    int count = 0;
    for (HWND allowed : g_recording.allowed) count += allowed == window;
    return count;
}

class CreationHookTest : public SystemDoubleTest {
  protected:
    void SetUp() override {
        SystemDoubleTest::SetUp();
        InitializeCommonControls();
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        SystemDoubleTest::TearDown();
    }
    HWND dialog_ = nullptr;
};

TEST_F(CreationHookTest, EachClassGetsItsTreatment) {
    StartDarkWindows10();
    dialog_ = CreateTestDialog(PlainDialogProc, 300, 200);
    ASSERT_NE(nullptr, dialog_);
    HWND const listView = AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT, 10, 10, 150, 60);
    struct Case {
        const char* what;
        HWND window;
        std::vector<std::pair<std::wstring, std::wstring>> themes;  // sub-application name, sub-ID list
        int allowed;
        bool subclassed;
    } const cases[] = {
        {"group box",
         AddControl(dialog_, L"Button", L"Group", BS_GROUPBOX, 170, 10, 100, 40),
         {{L"Dark_Explorer", L"Groupbox"}},
         1,
         false},
        {"automatic check box",
         AddControl(dialog_, L"Button", L"Auto", BS_AUTOCHECKBOX, 170, 60, 100, 16),
         {{L"Explorer", L""}},
         1,
         false},
        {"check box",
         AddControl(dialog_, L"Button", L"Check", BS_CHECKBOX, 170, 80, 100, 16),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"radio button",
         AddControl(dialog_, L"Button", L"Radio", BS_AUTORADIOBUTTON, 170, 100, 100, 16),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"push button",
         AddControl(dialog_, L"Button", L"Push", BS_PUSHBUTTON, 170, 120, 100, 24),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"edit",
         AddControl(dialog_, L"Edit", L"text", WS_BORDER, 10, 80, 150, 20),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"combo box",
         AddControl(dialog_, L"ComboBox", L"", CBS_DROPDOWNLIST, 10, 110, 150, 100),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"extended combo box",
         AddControl(dialog_, WC_COMBOBOXEXW, L"", CBS_DROPDOWNLIST, 10, 140, 150, 100),
         {{L"Explorer", L"<null>"}},
         1,
         false},
        {"header",
         AddControl(dialog_, WC_HEADERW, L"", 0, 10, 170, 150, 20),
         {{L"ItemsView", L"<null>"}},
         1,
         false},
        // Made dark once it exists, as its header with it.
        {"list view", listView, {{L"Explorer", L"<null>"}}, 1, true},
        // Once by the hook as it is made, once more by the list view it belongs to.
        {"its header",
         ListView_GetHeader(listView),
         {{L"ItemsView", L"<null>"}, {L"ItemsView", L"<null>"}},
         2,
         false},
        {"rebar",
         AddControl(dialog_, REBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 200, 150, 20),
         {},
         1,
         true},
        {"status bar", AddControl(dialog_, STATUSCLASSNAMEW, L"Ready", 0, 0, 0, 0, 0), {}, 1, true},
        {"static", AddControl(dialog_, L"Static", L"Label", 0, 10, 230, 100, 16), {}, 0, false},
        {"tab control", AddControl(dialog_, WC_TABCONTROLW, L"", 0, 10, 250, 100, 30), {}, 0, false},
        {"toolbar",
         AddControl(dialog_, TOOLBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 290, 150, 20),
         {},
         0,
         false},
        {"dialog", dialog_, {}, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(nullptr, c.window);
        std::vector<std::pair<std::wstring, std::wstring>> themes;
        for (const ThemeCall& call : ThemeCallsOf(c.window)) themes.emplace_back(call.subApp, call.subIds);
        EXPECT_EQ(c.themes, themes);
        EXPECT_EQ(c.allowed, AllowedCount(c.window));
        EXPECT_EQ(c.subclassed, Subclassed(c.window));
    }
    // The dialog's title bar was made dark as it initialised.
    ASSERT_EQ(1u, g_recording.compositions.size());
    EXPECT_EQ(dialog_, g_recording.compositions[0].window);
    EXPECT_EQ(26u, g_recording.compositions[0].attribute);
    EXPECT_EQ(TRUE, g_recording.compositions[0].value);
}

TEST_F(CreationHookTest, PopupMenusAreAllowedDarkMode) {
    StartDarkWindows10();
    dialog_ = CreateTestDialog(PlainDialogProc, 100, 50);
    HMENU const menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"One");
    // The menu's modal loop ends itself from a timer.
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    SetForegroundWindow(dialog_);
    g_recording = Recording{};
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, dialog_, nullptr);
    DestroyMenu(menu);
    // The menu's window is gone by now; its class was read when it was allowed dark mode.
    std::vector<std::wstring> const expected = {L"#32768"};
    EXPECT_EQ(expected, g_recording.allowedClasses);
}

TEST_F(CreationHookTest, NothingIsTreatedWhenTheSystemIsLight) {
    g_played.appsUseDarkMode = false;
    StartDarkMode(GetModuleHandleW(nullptr), 0);
    ASSERT_EQ(nullptr, g_darkMode.creationHook);
    g_recording = Recording{};
    dialog_ = CreateTestDialog(PlainDialogProc, 100, 50);
    HWND const button = AddControl(dialog_, L"Button", L"Push", BS_PUSHBUTTON, 10, 10, 80, 24);
    HWND const listView = AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT, 10, 40, 80, 40);
    EXPECT_TRUE(g_recording.themes.empty());
    EXPECT_TRUE(g_recording.allowed.empty());
    EXPECT_FALSE(Subclassed(dialog_));
    EXPECT_FALSE(Subclassed(listView));
    EXPECT_FALSE(Subclassed(button));
    // Called anyway, as by a hook left over from a dark start, it still leaves windows alone.
    EXPECT_EQ(0, CreationHook(HCBT_CREATEWND, reinterpret_cast<WPARAM>(button), 0));
    EXPECT_TRUE(g_recording.themes.empty());
}

TEST_F(CreationHookTest, ListViewsTakeTheThemesColoursAndCloseEveryTheme) {
    g_played.fakeThemes = true;
    g_played.headerText = RGB(1, 2, 3);
    g_played.itemsViewText = RGB(4, 5, 6);
    g_played.itemsViewFill = RGB(7, 8, 9);
    StartDarkWindows10();
    dialog_ = CreateTestDialog(PlainDialogProc, 200, 100);
    HWND const listView = AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT, 10, 10, 150, 60);
    DispatchQueued();
    EXPECT_EQ(RGB(1, 2, 3), g_headerTextColour);
    EXPECT_EQ(RGB(4, 5, 6), COLORREF(ListView_GetTextColor(listView)));
    EXPECT_EQ(RGB(7, 8, 9), COLORREF(ListView_GetTextBkColor(listView)));
    EXPECT_EQ(RGB(7, 8, 9), COLORREF(ListView_GetBkColor(listView)));
    EXPECT_EQ(2, g_recording.themesOpened);
    EXPECT_EQ(2, g_recording.themesClosed);
}

TEST_F(CreationHookTest, ListViewsWithoutThemeColoursAreDarkWithLightText) {
    StartDarkWindows10();
    dialog_ = CreateTestDialog(PlainDialogProc, 200, 100);
    HWND const listView = AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT, 10, 10, 150, 60);
    // Nothing that arrives later undoes the colours.
    DispatchQueued();
    EXPECT_EQ(kLightText, COLORREF(ListView_GetTextColor(listView)));
    EXPECT_EQ(kDarkBackground, COLORREF(ListView_GetTextBkColor(listView)));
    EXPECT_EQ(kDarkBackground, COLORREF(ListView_GetBkColor(listView)));
    EXPECT_EQ(DWORD(LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP),
              DWORD(ListView_GetExtendedListViewStyle(listView)));
    EXPECT_EQ(RGB(255, 255, 255), g_headerTextColour);
    EXPECT_EQ(g_recording.themesOpened, g_recording.themesClosed);
}

TEST_F(CreationHookTest, ListViewHeadersDrawTheirItemsInTheHeaderTextColour) {
    StartDarkWindows10();
    g_headerTextColour = RGB(10, 20, 30);
    dialog_ = CreateTestDialog(PlainDialogProc, 200, 100);
    HWND const listView = AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT, 10, 10, 150, 60);
    HWND const header = ListView_GetHeader(listView);
    HDC const dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(0, 0, 0));
    NMCUSTOMDRAW draw = {};
    draw.hdr = {header, 0, UINT(NM_CUSTOMDRAW)};
    draw.hdc = dc;
    auto const send = [&](DWORD stage) {
        draw.dwDrawStage = stage;
        return SendMessageW(listView, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    };
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW, send(CDDS_PREPAINT));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(dc));
    EXPECT_EQ(CDRF_DODEFAULT, send(CDDS_ITEMPREPAINT));
    EXPECT_EQ(RGB(10, 20, 30), GetTextColor(dc));
    DeleteDC(dc);
}

// The dialog's own procedure: what reaches it past the dark dialog procedure.
std::vector<UINT> g_dialogMessages;
INT_PTR CALLBACK RecordingDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    g_dialogMessages.push_back(message);
    return message == WM_INITDIALOG;
}
bool Reached(UINT message) {
    for (UINT seen : g_dialogMessages)
        if (seen == message) return true;
    return false;
}

TEST_F(CreationHookTest, DialogsColourEveryKindOfControlDark) {
    StartDarkWindows10();
    g_dialogMessages.clear();
    dialog_ = CreateTestDialog(RecordingDialogProc, 100, 50);
    HDC const dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = nullptr;
    for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
        SCOPED_TRACE(message);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        auto const answer = reinterpret_cast<HBRUSH>(
            SendMessageW(dialog_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog_)));
        ASSERT_NE(nullptr, answer);
        if (brush) {
            EXPECT_EQ(brush, answer) << "one brush for all";
        }
        brush = answer;
        EXPECT_EQ(kLightText, GetTextColor(dc));
        EXPECT_EQ(kDarkBackground, GetBkColor(dc));
        EXPECT_FALSE(Reached(message)) << "the dark colours win over the dialog's own";
    }
    LOGBRUSH logBrush = {};
    ASSERT_EQ(int(sizeof(logBrush)), GetObjectW(brush, sizeof(logBrush), &logBrush));
    EXPECT_EQ(kDarkBackground, logBrush.lbColor);
    DeleteDC(dc);
}

TEST_F(CreationHookTest, CustomDrawIsAnsweredForToolbarsOnlyAndNeverReachesTheDialog) {
    StartDarkWindows10();
    g_dialogMessages.clear();
    dialog_ = CreateTestDialog(RecordingDialogProc, 200, 100);
    HWND const toolbar =
        AddControl(dialog_, TOOLBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 10, 150, 20);
    HWND const button = AddControl(dialog_, L"Button", L"Push", BS_PUSHBUTTON, 10, 40, 80, 24);
    NMTBCUSTOMDRAW draw = {};
    auto const send = [&](HWND from, DWORD stage, UINT state) {
        draw.nmcd.hdr = {from, UINT_PTR(GetDlgCtrlID(from)), UINT(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = stage;
        draw.nmcd.uItemState = state;
        draw.clrText = RGB(1, 1, 1);
        return SendMessageW(dialog_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    };
    // Colours of their own, on no face of the light theme.
    LRESULT const kItemAnswer = TBCDRF_USECDCOLORS | TBCDRF_NOBACKGROUND;
    struct {
        const char* what;
        HWND from;
        DWORD stage;
        UINT state;
        LRESULT answer;
        COLORREF text;
    } const cases[] = {
        {"toolbar, before painting", toolbar, CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW, RGB(1, 1, 1)},
        {"toolbar item", toolbar, CDDS_ITEMPREPAINT, 0, kItemAnswer, kLightText},
        {"hot toolbar item", toolbar, CDDS_ITEMPREPAINT, CDIS_HOT, kItemAnswer, kHighlightText},
        {"selected toolbar item", toolbar, CDDS_ITEMPREPAINT, CDIS_SELECTED, kItemAnswer, kHighlightText},
        {"pressed and hot", toolbar, CDDS_ITEMPREPAINT, CDIS_HOT | CDIS_SELECTED, kItemAnswer,
         kHighlightText},
        {"focused toolbar item", toolbar, CDDS_ITEMPREPAINT, CDIS_FOCUS, kItemAnswer, kLightText},
        {"toolbar, after painting", toolbar, CDDS_POSTPAINT, 0, CDRF_DODEFAULT, RGB(1, 1, 1)},
        {"button, before painting", button, CDDS_PREPAINT, 0, CDRF_DODEFAULT, RGB(1, 1, 1)},
        {"button item", button, CDDS_ITEMPREPAINT, CDIS_HOT, CDRF_DODEFAULT, RGB(1, 1, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.answer, send(c.from, c.stage, c.state));
        EXPECT_EQ(ColourText(c.text), ColourText(draw.clrText));
    }
    EXPECT_FALSE(Reached(WM_NOTIFY)) << "custom draw never reaches the dialog's own procedure";
    // Other notifications do.
    NMHDR other = {button, 0, UINT(NM_CLICK)};
    SendMessageW(dialog_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(Reached(WM_NOTIFY));
    g_dialogMessages.clear();
    SendMessageW(dialog_, WM_NOTIFY, 0, 0);
    EXPECT_TRUE(Reached(WM_NOTIFY)) << "a notification without its record is passed on";
}

// A rebar's background, erased into a bitmap of its own size: each row one grey.
std::vector<COLORREF> EraseRebar(HWND rebar, int width, int height, LRESULT* answer) {
    std::vector<COLORREF> rows;
    HDC const dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -(height + 1), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP const bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ const old = SelectObject(dc, bitmap);
    // One row more than the rebar, in a colour of its own: nothing is drawn outside the rebar.
    RECT const all = {0, 0, width, height + 1};
    HBRUSH const marker = CreateSolidBrush(RGB(200, 0, 0));
    FillRect(dc, &all, marker);
    DeleteObject(marker);
    *answer = SendMessageW(rebar, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    for (int y = 0; y <= height; ++y) {
        COLORREF const row = GetPixel(dc, 0, y);
        for (int x = 1; x < width; ++x) EXPECT_EQ(row, GetPixel(dc, x, y)) << "row " << y << " is one colour";
        rows.push_back(row);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return rows;
}

TEST_F(CreationHookTest, RebarsEraseToAGradientFromGrey64ToBlack) {
    StartDarkWindows10();
    dialog_ = CreateTestDialog(PlainDialogProc, 200, 100);
    COLORREF const kMarker = RGB(200, 0, 0);
    struct {
        int height;
        std::vector<COLORREF> rows;
    } const cases[] = {
        {0, {kMarker}},
        {1, {RGB(64, 64, 64), kMarker}},
        {3, {RGB(64, 64, 64), RGB(43, 43, 43), RGB(22, 22, 22), kMarker}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        HWND const rebar =
            AddControl(dialog_, REBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 40, c.height);
        SetWindowPos(rebar, nullptr, 0, 0, 40, c.height, SWP_NOZORDER | SWP_NOMOVE);
        RECT client = {};
        GetClientRect(rebar, &client);
        ASSERT_EQ(c.height, client.bottom) << "the rebar keeps the height given";
        LRESULT answer = 0;
        EXPECT_EQ(c.rows, EraseRebar(rebar, 40, c.height, &answer));
        EXPECT_EQ(1, answer) << "the background counts as erased";
        DestroyWindow(rebar);
    }
}

}  // namespace
}  // namespace theme_test
