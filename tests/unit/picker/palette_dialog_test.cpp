// The palette hook in process, on a stand-in for the system colour dialog: a captioned window with
// edits 706, 707 and 708. What the real dialog hides under Wine (it corrects a red of 300 to 255
// before anyone can look, and palette mode never has an owner) is visible here.
#include "picker/palette_dialog.h"

#include <commdlg.h>

#include <string>

#include <gtest/gtest.h>

namespace {

wchar_t const kStandInClass[] = L"HuepeekPaletteStandIn";
int const kRedField = 706;
int const kGreenField = 707;
int const kBlueField = 708;

DWORD Rgb(int r, int g, int b) {
    return DWORD(r) | DWORD(g) << 8 | DWORD(b) << 16;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[4096] = {};
    GetWindowTextW(hwnd, text, 4096);
    return text;
}

RECT WindowRectOf(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT WorkArea() {
    RECT rect = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0);
    return rect;
}

class PaletteHookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kStandInClass;
        RegisterClassW(&wc);
    }

    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        if (owner_) DestroyWindow(owner_);
    }

    HWND MakeDialog(HWND owner = nullptr, DWORD extraStyle = 0, HMENU menu = nullptr) {
        dialog_ = CreateWindowExW(0, kStandInClass, L"Color", WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle,
                                  100, 100, 450, 330, owner, menu, GetModuleHandleW(nullptr), nullptr);
        for (int id : {kRedField, kGreenField, kBlueField})
            CreateWindowExW(0, L"Edit", L"0", WS_CHILD | WS_VISIBLE, 10, 10 + (id - kRedField) * 25, 60, 20,
                            dialog_, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr),
                            nullptr);
        return dialog_;
    }

    void Fields(const wchar_t* red, const wchar_t* green, const wchar_t* blue) {
        SetDlgItemTextW(dialog_, kRedField, red);
        SetDlgItemTextW(dialog_, kGreenField, green);
        SetDlgItemTextW(dialog_, kBlueField, blue);
    }

    // As the dialog hands the hook its state, with the structure it was opened with.
    UINT_PTR InitDialog() {
        CHOOSECOLORW choose = {};
        choose.lStructSize = sizeof(choose);
        choose.lCustData = reinterpret_cast<LPARAM>(&state_);
        return PaletteHook(dialog_, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&choose));
    }

    // As the dialog passes a change of one of its fields to the hook.
    void FieldChanged(int id) {
        PaletteHook(dialog_, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE),
                    reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
    }

    // Waits for a WM_TIMER of the refresh timer in this thread's queue and takes it out.
    bool TakeRefreshTimer(DWORD timeoutMs) {
        DWORD const start = GetTickCount();
        do {
            MSG msg;
            while (PeekMessageW(&msg, dialog_, WM_TIMER, WM_TIMER, PM_REMOVE))
                if (msg.wParam == kInfoRefreshTimer) return true;
            Sleep(10);
        } while (GetTickCount() - start < timeoutMs);
        return false;
    }

    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    PaletteState state_ = {};
};

TEST_F(PaletteHookTest, FieldsBecomeTheCurrentColourByTheirLowByte) {
    struct {
        const wchar_t *red, *green, *blue;
        DWORD expected;
    } const cases[] = {
        {L"12", L"34", L"56", Rgb(12, 34, 56)},
        {L"300", L"34", L"56", Rgb(44, 34, 56)},  // 300 = 0x12C
        {L"256", L"511", L"1000", Rgb(0, 255, 232)},
        {L"-1", L"+7", L" 9", Rgb(255, 7, 9)},  // -1 is all bits set
        {L"abc", L"", L"12abc", Rgb(0, 0, 12)},
        // Too many digits wrap modulo 2^32: 99999999999 = 0x17_4876E7FF.
        {L"99999999999", L"-2147483648", L"4294967295", Rgb(255, 0, 255)},
    };
    MakeDialog();
    InitDialog();
    for (const auto& c : cases) {
        Fields(c.red, c.green, c.blue);
        FieldChanged(kGreenField);
        EXPECT_EQ(c.expected, state_.colour) << c.red << "," << c.green << "," << c.blue;
    }
    EXPECT_EQ(L"Huepeek", TextOf(dialog_));
}

TEST_F(PaletteHookTest, InfoBoxFollowsTheFieldsAndIgnoresItself) {
    MakeDialog();
    InitDialog();
    ASSERT_NE(nullptr, state_.infoBox);
    EXPECT_EQ(L"", TextOf(state_.infoBox)) << "empty until the first change";

    Fields(L"300", L"34", L"56");
    FieldChanged(kRedField);
    // 44,34,56: hue (r - g) / (b - g) + 4 = 10/22 + 4 sextants = 267.3 degrees; saturation 22/56.
    EXPECT_EQ(0u, TextOf(state_.infoBox)
                      .find(L"#2C2238\r\n2C,22,38\r\n44,34,56\r\n44,34,56,255\r\n"
                            L"HSB/HSV:267,39,21\r\nHSB/HSV:10B,27,15\r\n\r\n"))
        << "info box shows the colour at once";

    // A change of the info box itself is no change of the colour.
    SetDlgItemTextW(dialog_, kRedField, L"1");
    PaletteHook(dialog_, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(state_.infoBox));
    EXPECT_EQ(Rgb(44, 34, 56), state_.colour);
}

// The dialog fills its fields and tells of it before it hands the hook its state: those changes
// pass by, and the opening reads the fields, which the refresh then shows.
TEST_F(PaletteHookTest, OpeningReadsTheFieldsForTheRefresh) {
    MakeDialog();
    Fields(L"12", L"34", L"56");
    FieldChanged(kRedField);
    EXPECT_EQ(L"Color", TextOf(dialog_)) << "a change before the opening";
    InitDialog();
    EXPECT_EQ(Rgb(12, 34, 56), state_.colour);
    EXPECT_EQ(L"Huepeek", TextOf(dialog_));
    EXPECT_EQ(L"", TextOf(state_.infoBox)) << "empty until the refresh";
    ASSERT_TRUE(TakeRefreshTimer(2000)) << "no refresh after the opening";
    PaletteHook(dialog_, WM_TIMER, kInfoRefreshTimer, 0);
    EXPECT_EQ(0u, TextOf(state_.infoBox).find(L"#0C2238\r\n"));
}

TEST_F(PaletteHookTest, RefreshTimerFiresOnceAfterTheLastChange) {
    MakeDialog();
    InitDialog();
    Fields(L"1", L"2", L"3");
    FieldChanged(kRedField);
    FieldChanged(kBlueField);  // restarts the timer
    ASSERT_TRUE(TakeRefreshTimer(2000)) << "no refresh after a change";
    SetWindowTextW(state_.infoBox, L"stale");
    PaletteHook(dialog_, WM_TIMER, kInfoRefreshTimer, 0);
    EXPECT_EQ(0u, TextOf(state_.infoBox).find(L"#010203\r\n"));
    EXPECT_FALSE(TakeRefreshTimer(500)) << "the timer stops itself";
    // Other timers are none of the hook's business.
    SetWindowTextW(state_.infoBox, L"stale");
    PaletteHook(dialog_, WM_TIMER, kInfoRefreshTimer + 1, 0);
    EXPECT_EQ(L"stale", TextOf(state_.infoBox));
}

// Worked examples on the test display's work area (0, 0, 1280, 800): the stand-in is 450 x 330 and
// grows to 450 x 535 (330 * 1.5 + 40), so it is centred at (centre x - 225, centre y - 267).
TEST_F(PaletteHookTest, CentredOnAVisibleOwnerInsideTheWorkArea) {
    RECT const work = WorkArea();
    if (work.left != 0 || work.top != 0 || work.right != 1280 || work.bottom != 800)
        GTEST_SKIP() << "worked out for a 1280 x 800 work area";
    struct {
        const char* name;
        RECT owner;
        DWORD ownerStyle;
        POINT expected;
    } const cases[] = {
        // Owner centre (700, 450).
        {"visible owner", {500, 300, 900, 600}, WS_VISIBLE, {475, 183}},
        // Work area centre (640, 400).
        {"hidden owner", {500, 300, 900, 600}, 0, {415, 133}},
        {"minimized owner", {500, 300, 900, 600}, WS_VISIBLE | WS_MINIMIZE, {415, 133}},
        // Owner centre x 1330 gives x 1105; the right edge 1555 is pulled back to 1280 - 450.
        {"owner at the right edge", {1180, 300, 1480, 600}, WS_VISIBLE, {830, 183}},
        // Owner centre (300, -300) gives y -567; pulled down to the work area's top.
        {"owner above the top", {100, -400, 500, -200}, WS_VISIBLE, {75, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        owner_ = CreateWindowExW(0, kStandInClass, L"owner", WS_POPUP | c.ownerStyle, c.owner.left,
                                 c.owner.top, c.owner.right - c.owner.left, c.owner.bottom - c.owner.top,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        MakeDialog(owner_);
        InitDialog();
        RECT const r = WindowRectOf(dialog_);
        EXPECT_EQ(450, r.right - r.left);
        EXPECT_EQ(535, r.bottom - r.top);
        EXPECT_EQ(c.expected.x, r.left);
        EXPECT_EQ(c.expected.y, r.top);
        DestroyWindow(dialog_);
        DestroyWindow(owner_);
        dialog_ = owner_ = nullptr;
        state_ = {};
    }
}

TEST_F(PaletteHookTest, EnlargedWithInfoBoxAndButtonBelowTheOldClientArea) {
    MakeDialog();
    RECT const before = WindowRectOf(dialog_);
    RECT oldClient = {};
    GetClientRect(dialog_, &oldClient);
    InitDialog();
    RECT const after = WindowRectOf(dialog_);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(int((before.bottom - before.top) * 1.5) + 40, after.bottom - after.top);
    RECT client = {};
    GetClientRect(dialog_, &client);
    EXPECT_EQ(oldClient.bottom, state_.infoRect.top);
    EXPECT_EQ(0, state_.infoRect.left);
    EXPECT_EQ(client.right, state_.infoRect.right);
    HWND const button = GetDlgItem(dialog_, kWebButtonId);
    ASSERT_NE(nullptr, button);
    RECT buttonRect = WindowRectOf(button);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&buttonRect), 2);
    EXPECT_EQ(state_.infoRect.bottom, buttonRect.top);
    EXPECT_EQ(30, buttonRect.bottom - buttonRect.top);
    EXPECT_LE(buttonRect.bottom, client.bottom) << "the button is cut off";
    EXPECT_EQ(0u, TextOf(button).find(L"...  www.vantorel."));
    EXPECT_TRUE(GetWindowLongW(state_.infoBox, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongW(state_.infoBox, GWL_STYLE) & ES_MULTILINE);
    EXPECT_FALSE(GetWindowLongW(state_.infoBox, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(0, GetDlgCtrlID(state_.infoBox));
    // The hook leaves every message to the dialog as well.
    EXPECT_EQ(0u, InitDialog());
    int buttons = 0;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == kWebButtonId) ++buttons;
    EXPECT_EQ(1, buttons) << "the controls are made only once";
}

// A frame thicker than the 40 extra pixels (large captions, high DPI; here a menu bar and a sizing
// border) would push the button below the client area: the info box gives way instead.
TEST_F(PaletteHookTest, ThickFrameShortensTheInfoBoxNotTheButton) {
    HMENU const menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Menu");
    MakeDialog(nullptr, WS_THICKFRAME, menu);
    RECT const window = WindowRectOf(dialog_);
    RECT client = {};
    GetClientRect(dialog_, &client);
    int const frame = (window.bottom - window.top) - client.bottom;
    if (frame <= 40) GTEST_SKIP() << "frame only " << frame << " px here";
    InitDialog();
    GetClientRect(dialog_, &client);
    HWND const button = GetDlgItem(dialog_, kWebButtonId);
    ASSERT_NE(nullptr, button);
    RECT buttonRect = WindowRectOf(button);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&buttonRect), 2);
    EXPECT_EQ(client.bottom, buttonRect.bottom) << "frame " << frame << " px";
    EXPECT_EQ(state_.infoRect.bottom, buttonRect.top);
    EXPECT_GT(state_.infoRect.bottom, state_.infoRect.top);
}

}  // namespace
