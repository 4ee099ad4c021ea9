// Dark mode played by the doubles, seen on the screen: real dialogs of this thread (a message box,
// the palette's colour dialog, a dialog with the main dialog's kinds of controls) created under the
// creation hook, their pixels read back and their screenshots kept for a person to look at.
#include <optional>
#include <thread>

#include "base/message_box.h"
#include "harness.h"
#include "lang/string_table.h"
#include "picker/palette_dialog.h"
#include "settings/settings_store.h"
#include "system_double.h"
#include "test_windows.h"

namespace theme_test {
namespace {

// Read while the control exists: it is gone when the test looks.
struct SeenControl {
    HWND window;
    std::wstring className, text;
    RECT rect;  // screen
    int id;
    LONG style;
};

// A dialog of this thread as it looked while the thread sat in its modal loop.
struct SeenDialog {
    HWND window = nullptr;
    RECT client = {};  // screen
    std::vector<SeenControl> controls;
    std::optional<ScreenPixels> pixels;

    const SeenControl* Find(const wchar_t* className, const wchar_t* textPart = L"") const {
        for (const SeenControl& c : controls)
            if (c.className == className && c.text.find(textPart) != std::wstring::npos) return &c;
        return nullptr;
    }
};

HWND FindDialogOfThread(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM out) {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (!IsWindowVisible(window) || lstrcmpW(name, L"#32770") != 0) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs modal() on this thread; a second thread waits for its dialog, lets it paint, reads it, keeps
// a screenshot and closes it with the command.
template <typename Modal>
SeenDialog WatchModalDialog(Modal modal, const wchar_t* screenshot, int closeCommand) {
    SeenDialog seen;
    DWORD const uiThread = GetCurrentThreadId();
    std::thread watcher([&] {
        HWND dialog = nullptr;
        if (!e2e::WaitUntil([&] { return (dialog = FindDialogOfThread(uiThread)) != nullptr; }, 10000))
            return;
        EXPECT_TRUE(Settled(dialog)) << "the dialog did not finish painting";
        seen.window = dialog;
        seen.client = ScreenRectOf(dialog, true);
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM out) {
                if (!IsWindowVisible(child)) return TRUE;
                wchar_t name[64] = {};
                wchar_t text[256] = {};
                GetClassNameW(child, name, 64);
                GetWindowTextW(child, text, 256);
                reinterpret_cast<SeenDialog*>(out)->controls.push_back(
                    {child, name, text, ScreenRectOf(child, false), GetDlgCtrlID(child),
                     GetWindowLongW(child, GWL_STYLE)});
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen));
        RECT const window = ScreenRectOf(dialog, false);
        seen.pixels.emplace(window);
        SaveScreenshot(window, ScreenshotDir() + L"\\" + screenshot);
        PostMessageW(dialog, WM_COMMAND, WPARAM(closeCommand), 0);
    });
    modal();
    watcher.join();
    return seen;
}

RECT Inset(RECT rect, int by) {
    InflateRect(&rect, -by, -by);
    return rect;
}

int Area(const RECT& rect) {
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}

// The dialog's title bar was made dark once, as it initialised.
void ExpectDarkTitleBar(HWND dialog) {
    int count = 0;
    for (const CompositionCall& call : g_recording.compositions) {
        if (call.window != dialog) continue;
        ++count;
        EXPECT_EQ(26u, call.attribute);
        EXPECT_EQ(TRUE, call.value);
    }
    EXPECT_EQ(1, count);
}

void ExpectPushButtonTheme(const SeenControl& button) {
    std::vector<ThemeCall> const calls = ThemeCallsOf(button.window);
    ASSERT_EQ(1u, calls.size()) << "button " << std::string(button.text.begin(), button.text.end());
    EXPECT_EQ(L"Explorer", calls[0].subApp);
    EXPECT_EQ(L"<null>", calls[0].subIds);
}

class DarkDialogTest : public SystemDoubleTest {
  protected:
    void SetUp() override {
        SystemDoubleTest::SetUp();
        ASSERT_TRUE(manifest_.Active());
        InitializeCommonControls();
    }
    ScopedProgramManifest manifest_;
};

TEST_F(DarkDialogTest, MessageBoxIsDarkWithLightText) {
    StartDarkWindows10();
    SeenDialog const seen = WatchModalDialog(
        [] { ShowMessage(nullptr, L"Dark mode: the message of a dark message box.", L"Huepeek", MB_OK); },
        L"dark_message_box.png", IDOK);
    ASSERT_NE(nullptr, seen.window) << "no message box";
    ASSERT_TRUE(seen.pixels && !seen.pixels->Empty());
    ExpectDarkTitleBar(seen.window);
    const SeenControl* const ok = seen.Find(L"Button");
    ASSERT_NE(nullptr, ok);
    ExpectPushButtonTheme(*ok);
    const SeenControl* const text = seen.Find(L"Static", L"dark message box");
    ASSERT_NE(nullptr, text);
    EXPECT_GT(seen.pixels->Count(seen.client, kDarkBackground), Area(seen.client) / 2)
        << "the dialog's background is dark";
    EXPECT_GT(seen.pixels->Count(text->rect, kDarkBackground), Area(text->rect) / 2);
    EXPECT_GT(seen.pixels->Count(text->rect, kLightText), 20) << "the message is drawn in light text";
}

TEST_F(DarkDialogTest, ColourDialogIsDarkWithLightText) {
    // The help lines of the info box in English, from the archive of the exe built beside.
    g_language.Use(1);
    g_language.LoadArchive(e2e::HuepeekPath().c_str());
    StartDarkWindows10();
    SeenDialog const seen = WatchModalDialog([] { RunPaletteDialog(RGB(12, 34, 56), nullptr); },
                                             L"dark_colour_dialog.png", IDCANCEL);
    ASSERT_NE(nullptr, seen.window) << "no colour dialog";
    ASSERT_TRUE(seen.pixels && !seen.pixels->Empty());
    ExpectDarkTitleBar(seen.window);
    int buttons = 0;
    int edits = 0;
    for (const SeenControl& control : seen.controls) {
        bool const pushButton = control.className == L"Button" && (control.style & 0xF) == BS_PUSHBUTTON;
        if (pushButton && control.id != kWebButtonId) {
            ++buttons;
            ExpectPushButtonTheme(control);
        }
        if (control.id == kWebButtonId) {
            // Dark at its creation; then the palette gives it its plain look, without visual styles.
            std::vector<ThemeCall> const calls = ThemeCallsOf(control.window);
            ASSERT_EQ(2u, calls.size());
            EXPECT_EQ(L"Explorer", calls[0].subApp);
            EXPECT_EQ(L"", calls[1].subApp);
            EXPECT_EQ(L"", calls[1].subIds);
        }
        if (control.className == L"Edit") {
            ++edits;
            std::vector<ThemeCall> const calls = ThemeCallsOf(control.window);
            ASSERT_EQ(1u, calls.size());
            EXPECT_EQ(L"Explorer", calls[0].subApp);
        }
    }
    EXPECT_GE(buttons, 3) << "OK, Cancel and Add to Custom Colors";
    EXPECT_GE(edits, 7) << "six colour fields and the info box";
    EXPECT_GT(seen.pixels->Count(seen.client, kDarkBackground), Area(seen.client) / 4);
    // The labels of the colour fields and the info box's text are light on dark.
    const SeenControl* const label = seen.Find(L"Static", L"Red");
    ASSERT_NE(nullptr, label);
    EXPECT_GT(seen.pixels->Count(label->rect, kLightText), 5);
    const SeenControl* infoBox = nullptr;
    // The one edit of the dialog without a control ID.
    for (const SeenControl& control : seen.controls)
        if (control.className == L"Edit" && control.id == 0) infoBox = &control;
    ASSERT_NE(nullptr, infoBox);
    RECT const inside = Inset(infoBox->rect, 3);
    EXPECT_GT(seen.pixels->Count(inside, kDarkBackground), Area(inside) / 2);
    EXPECT_GT(seen.pixels->Count(inside, kLightText), 50);
}

}  // namespace
}  // namespace theme_test

namespace theme_test {
namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A text-only toolbar as the main dialog has one: flat, transparent, listed text, no images.
HWND AddTextToolbar(HWND dialog, int x, int y, int width, int height,
                    std::initializer_list<const wchar_t*> texts) {
    DWORD const style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT | TBSTYLE_LIST |
                        TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    HWND const toolbar = AddControl(dialog, TOOLBARCLASSNAMEW, L"", style, x, y, width, height);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, GetSystemMetrics(SM_CYSMICON) - 2));
    int command = 100;
    for (const wchar_t* text : texts) {
        TBBUTTON button = {};
        button.idCommand = command;
        button.fsState = TBSTATE_ENABLED;
        button.iString = -1;
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT | TBIF_STYLE;
        info.fsStyle = BTNS_AUTOSIZE;
        info.pszText = const_cast<wchar_t*>(text);
        SendMessageW(toolbar, TB_SETBUTTONINFOW, WPARAM(command), reinterpret_cast<LPARAM>(&info));
        SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(24, 24));
        ++command;
    }
    return toolbar;
}

RECT ToolbarItemOnScreen(HWND toolbar, int index) {
    RECT rect = {};
    SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class DarkControlsTest : public SystemDoubleTest {
  protected:
    void SetUp() override {
        SystemDoubleTest::SetUp();
        ASSERT_TRUE(manifest_.Active());
        InitializeCommonControls();
        StartDarkWindows10();
        dialog_ = CreateTestDialog(PlainDialogProc, 280, 190, L"Huepeek - dark controls");
        SetWindowPos(dialog_, HWND_TOPMOST, 80, 80, 0, 0, SWP_NOSIZE);
        AddControl(dialog_, L"Button", L"Program", BS_GROUPBOX, 10, 8, 250, 150);
        static_ = AddControl(dialog_, L"Static", L"A label in light text", 0, 22, 30, 220, 18);
        AddControl(dialog_, L"Edit", L"A read-only edit box\r\nwith two lines",
                   ES_MULTILINE | ES_READONLY | ES_CENTER | WS_BORDER, 22, 54, 220, 40);
        AddControl(dialog_, L"Button", L"Start with Windows", BS_AUTOCHECKBOX, 22, 102, 200, 20);
        AddControl(dialog_, L"Button", L"Always start minimized", BS_AUTOCHECKBOX, 22, 124, 200, 20);
        AddControl(dialog_, L"Button", L"Exit", BS_PUSHBUTTON, 280, 20, 110, 26);
        AddControl(dialog_, L"Button", L"To-Tray", BS_PUSHBUTTON, 280, 52, 110, 26);
        HWND const listView =
            AddControl(dialog_, WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, 280, 86, 140, 72);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<wchar_t*>(L"Language");
        ListView_InsertColumn(listView, 0, &column);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"English");
        ListView_InsertItem(listView, &item);
        rebar_ = AddControl(dialog_, REBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                            10, 166, 410, 24);
        toolbar_ =
            AddTextToolbar(dialog_, 10, 196, 410, 26, {L"www.vantorel.eu", L"# Donate", L"# LNG", L"# FAQ"});
        status_ = AddControl(dialog_, STATUSCLASSNAMEW, L"Ready", 0, 0, 0, 0, 0);
        ShowWindow(dialog_, SW_SHOW);
        UpdateWindow(dialog_);
        ASSERT_TRUE(Settled(dialog_));
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        SystemDoubleTest::TearDown();
    }

    ScreenPixels Look(const wchar_t* screenshot) {
        RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(Settled(dialog_));
        RECT const window = ScreenRectOf(dialog_, false);
        if (screenshot) SaveScreenshot(window, ScreenshotDir() + L"\\" + screenshot);
        return ScreenPixels(window);
    }

    ScopedProgramManifest manifest_;
    HWND dialog_ = nullptr;
    HWND static_ = nullptr;
    HWND rebar_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND status_ = nullptr;
};

TEST_F(DarkControlsTest, DialogAndLabelsAreDarkWithLightText) {
    ScreenPixels const pixels = Look(L"dark_controls.png");
    RECT const client = ScreenRectOf(dialog_, true);
    EXPECT_GT(pixels.Count(client, kDarkBackground), Area(client) / 3);
    RECT const label = ScreenRectOf(static_, false);
    EXPECT_GT(pixels.Count(label, kDarkBackground), Area(label) / 2);
    EXPECT_GT(pixels.Count(label, kLightText), 20);
}

TEST_F(DarkControlsTest, ToolbarTextIsLightAndTheHotItemHighlighted) {
    ScreenPixels const plain = Look(nullptr);
    RECT const first = ToolbarItemOnScreen(toolbar_, 0);
    RECT const second = ToolbarItemOnScreen(toolbar_, 1);
    EXPECT_GT(plain.Count(first, kLightText), 10);
    EXPECT_GT(plain.Count(second, kLightText), 10);
    EXPECT_EQ(0, plain.Count(ScreenRectOf(toolbar_, false), kHighlightText));

    SendMessageW(toolbar_, TB_SETHOTITEM, 0, 0);
    ScreenPixels const hot = Look(L"dark_controls_hot_toolbar_item.png");
    EXPECT_GT(hot.Count(first, kHighlightText), 10) << "the hot item's text is highlighted";
    EXPECT_EQ(0, hot.Count(first, kLightText));
    EXPECT_EQ(0, hot.Count(second, kHighlightText));
    EXPECT_GT(hot.Count(second, kLightText), 10);
}

TEST_F(DarkControlsTest, RebarShowsItsGradientAndTheStatusBarWhiteText) {
    ScreenPixels const pixels = Look(nullptr);
    RECT const rebar = ScreenRectOf(rebar_, true);
    int const height = rebar.bottom - rebar.top;
    ASSERT_GT(height, 2);
    for (int row = 0; row < height; ++row) {
        int const grey = 64 - 64 * row / height;
        EXPECT_EQ(ColourText(RGB(grey, grey, grey)),
                  ColourText(pixels.At((rebar.left + rebar.right) / 2, rebar.top + row)))
            << "row " << row;
    }
    RECT const status = Inset(ScreenRectOf(status_, true), 2);
    EXPECT_GT(pixels.Count(status, RGB(255, 255, 255)), 10);
}

// Brushes, pens and themes for painting are made once: painting over and over costs nothing.
TEST_F(DarkControlsTest, RepaintingMakesNoNewGdiObjects) {
    Look(nullptr);
    int const before = CountGdiObjects();
    ASSERT_GT(before, 0);
    // An object lost in each repaint shows as a hundred after a hundred repaints.
    for (int i = 0; i < 100; ++i)
        RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DispatchQueued();
    EXPECT_EQ(before, CountGdiObjects());
}

}  // namespace
}  // namespace theme_test
