// The real main dialog as a user sees it: dark, with the system's dark mode played by the doubles of
// its entry points and every window made under the creation hook, and light, as on a system without
// dark mode. Its pixels are read back from the screen and its screenshots kept.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "app/main_pages.h"
#include "base/process_state.h"
#include "harness.h"
#include "lang/string_table.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "tests/unit/theme/system_double.h"
#include "tests/unit/theme/test_windows.h"

namespace theme_test {
namespace {

COLORREF const kBlack = RGB(0, 0, 0);
COLORREF const kNearWhite = RGB(251, 251, 251);
int const kDonateItem = 1;  // the toolbar's second button

int Area(const RECT& rect) {
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}

RECT ControlOnScreen(HWND parent, int id) {
    return ScreenRectOf(GetDlgItem(parent, id), false);
}

RECT ToolbarItemOnScreen(HWND toolbar, int index) {
    RECT rect = {};
    SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A bitmap resource of this program as 0x00BBGGRR colours, row by row from the top.
std::vector<COLORREF> BitmapColours(int id, SIZE* size) {
    std::vector<COLORREF> colours;
    HBITMAP const bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return colours;
    *size = {info.bmWidth, info.bmHeight};
    BITMAPINFO header = TopDownInfo(info.bmWidth, info.bmHeight);
    std::vector<DWORD> pixels(size_t(info.bmWidth) * size_t(info.bmHeight));
    HDC const screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, UINT(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (DWORD pixel : pixels) colours.push_back(RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel)));
    return colours;
}

class MainDialogLookTest : public SystemDoubleTest {
  protected:
    void SetUp() override {
        SystemDoubleTest::SetUp();
        e2e::ResetSettings();
        g_instance = GetModuleHandleW(nullptr);
        InitializeCommonControls();
        g_language.Use(1);
        ASSERT_TRUE(g_language.LoadArchive(e2e::HuepeekPath().c_str()));
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        g_mainDialog.dialog = nullptr;
        g_mainDialog.toolbar = nullptr;
        e2e::ResetSettings();
        SystemDoubleTest::TearDown();
    }

    void CreateDialogOnTop() {
        StartSettings settings;
        ReadStartSettings(&settings);
        // Made hidden, then shown where the test looks.
        dialog_ = CreateMainDialog(&g_mainDialog, nullptr, settings, true);
        ASSERT_NE(nullptr, dialog_);
        SetWindowPos(dialog_, HWND_TOPMOST, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ASSERT_TRUE(Settled(dialog_));
    }

    ScreenPixels Look(const wchar_t* screenshot) {
        RedrawWindow(dialog_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(Settled(dialog_));
        RECT const window = ScreenRectOf(dialog_, false);
        if (screenshot) SaveScreenshot(window, ScreenshotDir() + L"\\" + screenshot);
        return ScreenPixels(window);
    }

    // The banner control shows the bitmap centred on the ground, as far as the dialog shows it.
    void ExpectBanner(const ScreenPixels& pixels, int bitmapId, COLORREF ground) {
        SIZE size = {};
        std::vector<COLORREF> const bitmap = BitmapColours(bitmapId, &size);
        ASSERT_FALSE(bitmap.empty()) << "bitmap " << bitmapId;
        RECT const control = ScreenRectOf(GetDlgItem(dialog_, IDC_BANNER), true);
        RECT const client = ScreenRectOf(dialog_, true);
        RECT shown = {};
        ASSERT_TRUE(IntersectRect(&shown, &control, &client));
        int const left = control.left + ((control.right - control.left - size.cx) >> 1);
        int const top = control.top + ((control.bottom - control.top - size.cy) >> 1);
        int bitmapPixels = 0, groundPixels = 0, wrong = 0;
        for (int y = shown.top; y < shown.bottom; ++y) {
            for (int x = shown.left; x < shown.right; ++x) {
                bool const inBitmap = x >= left && x < left + size.cx && y >= top && y < top + size.cy;
                COLORREF const expected =
                    inBitmap ? bitmap[size_t(y - top) * size_t(size.cx) + size_t(x - left)] : ground;
                (inBitmap ? bitmapPixels : groundPixels)++;
                wrong += pixels.At(x, y) != expected;
            }
        }
        EXPECT_GT(bitmapPixels, Area(shown) / 2);
        EXPECT_EQ(0, wrong) << "pixels of the banner other than bitmap " << bitmapId << " on "
                            << ColourText(ground) << " (" << groundPixels << " of the ground)";
    }

    // Rests the real pointer on a toolbar item, as a user does, until the toolbar has made it hot.
    // The pointer away from the toolbar, and no item hot. A dialog shown under a resting pointer may
    // read the X server's late report of where the pointer entered after the pointer was moved away;
    // that report sets Wine's record of the pointer back, and a toolbar item turns hot. Moving away
    // again then really moves the pointer, and the toolbar lets the item go.
    bool Unhover() {
        for (int i = 0; i < 40; ++i) {
            e2e::MoveCursor(0, 0);
            PumpMessages(50);
            if (SendMessageW(g_mainDialog.toolbar, TB_GETHOTITEM, 0, 0) < 0) return true;
        }
        return false;
    }

    bool Hover(int index) {
        RECT const item = ToolbarItemOnScreen(g_mainDialog.toolbar, index);
        e2e::MoveCursor((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        for (int i = 0; i < 40; ++i) {
            PumpMessages(50);
            if (SendMessageW(g_mainDialog.toolbar, TB_GETHOTITEM, 0, 0) == index) return true;
        }
        return false;
    }

    HWND dialog_ = nullptr;
};

struct PageLook {
    int page;
    const wchar_t* screenshot;
    int textId;  // a control of the page with text of its own, or 0
};
PageLook const kPageLooks[] = {
    {kPickerPage, L"main_dialog_dark.png", IDC_USAGE},
    {kInfoPage, L"main_dialog_dark_info.png", IDC_INFO_VERSION},
    {kBlankPage, L"main_dialog_dark_blank.png", 0},
    {kMorePage, L"main_dialog_dark_more.png", 0},
};

TEST_F(MainDialogLookTest, DarkDialogAndPagesArePaintedDarkWithLightText) {
    StartDarkWindows10();
    CreateDialogOnTop();
    for (const PageLook& look : kPageLooks) {
        SCOPED_TRACE(look.page);
        SelectPage(&g_mainDialog, look.page);
        ScreenPixels const pixels = Look(look.screenshot);
        RECT const page = ScreenRectOf(g_pages[look.page], true);
        EXPECT_GT(pixels.Count(page, kDarkBackground), Area(page) / 5) << "the page's background";
        if (look.textId) {
            RECT const text = ControlOnScreen(g_pages[look.page], look.textId);
            EXPECT_GT(pixels.Count(text, kDarkBackground), Area(text) / 2);
            EXPECT_GT(pixels.Count(text, kLightText), 20) << "light text";
        }
        // Where no control lies: between the page buttons and the frame, below the frame.
        RECT const client = ScreenRectOf(dialog_, true);
        RECT const frame = ControlOnScreen(dialog_, IDC_PAGE_FRAME);
        RECT const belowFrame = {client.left, frame.bottom, client.right,
                                 ControlOnScreen(dialog_, IDC_AUTOSTART).top};
        EXPECT_EQ(Area(belowFrame), pixels.Count(belowFrame, kDarkBackground)) << "the dialog's background";
        for (int id : {IDC_AUTOSTART, IDC_START_TRAY}) {
            RECT const box = ControlOnScreen(dialog_, id);
            EXPECT_GT(pixels.Count(box, kLightText), 20) << "the label of check box " << id;
        }
        // The frame's caption, the page's title, in its top left.
        RECT const caption = {frame.left, frame.top, frame.left + 80, frame.top + 12};
        EXPECT_GT(pixels.Count(caption, kLightText), 10) << "the frame's caption";
        EXPECT_GT(pixels.Count(caption, kDarkBackground), Area(caption) / 2);
    }
}

TEST_F(MainDialogLookTest, DarkBannerIsBitmap132OnBlack) {
    StartDarkWindows10();
    CreateDialogOnTop();
    ExpectBanner(Look(nullptr), IDB_BANNER_DARK, kBlack);
}

TEST_F(MainDialogLookTest, LightDialogHasBitmap157OnNearWhiteAndNoDarkBackground) {
    CreateDialogOnTop();
    ScreenPixels const pixels = Look(L"main_dialog_light.png");
    ExpectBanner(pixels, IDB_BANNER_LIGHT, kNearWhite);
    EXPECT_EQ(0, pixels.Count(ScreenRectOf(dialog_, true), kDarkBackground));
}

TEST_F(MainDialogLookTest, DarkToolbarHasLightTextAndTheHoveredItemHighlightedOnDark) {
    StartDarkWindows10();
    CreateDialogOnTop();
    POINT const rest = e2e::CursorPos();
    ASSERT_TRUE(Unhover()) << "a toolbar item stayed hot with the pointer away";
    HWND const toolbar = g_mainDialog.toolbar;
    ScreenPixels const plain = Look(nullptr);
    int const items = int(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    ASSERT_EQ(4, items);
    for (int i = 0; i < items; ++i) EXPECT_GT(plain.Count(ToolbarItemOnScreen(toolbar, i), kLightText), 10);
    EXPECT_EQ(0, plain.Count(ScreenRectOf(toolbar, false), kHighlightText));

    ASSERT_TRUE(Hover(kDonateItem)) << "the toolbar did not make the item under the pointer hot";
    ScreenPixels const hot = Look(L"main_dialog_dark_hot_toolbar_item.png");
    e2e::MoveCursor(rest.x, rest.y);
    RECT const item = ToolbarItemOnScreen(toolbar, kDonateItem);
    EXPECT_GT(hot.Count(item, kHighlightText), 10) << "the hot item's text is highlighted";
    EXPECT_EQ(0, hot.Count(item, kLightText));
    EXPECT_GT(hot.Count(item, kDarkBackground), Area(item) / 2) << "and stands on the dark background";
    for (int i = 0; i < items; ++i) {
        if (i == kDonateItem) continue;
        EXPECT_GT(hot.Count(ToolbarItemOnScreen(toolbar, i), kLightText), 10) << "item " << i;
        EXPECT_EQ(0, hot.Count(ToolbarItemOnScreen(toolbar, i), kHighlightText)) << "item " << i;
    }
}

// The buttons of the dialog ask their parent how to draw, as common controls 6 do: only the toolbar
// gets an answer other than the default.
TEST_F(MainDialogLookTest, DarkDialogAnswersCustomDrawOfItsOtherControlsWithZero) {
    StartDarkWindows10();
    CreateDialogOnTop();
    std::vector<HWND> controls;
    EnumChildWindows(
        dialog_,
        [](HWND child, LPARAM out) {
            if (GetParent(child) == GetAncestor(child, GA_ROOT))
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    ASSERT_GT(controls.size(), 10u);
    for (HWND control : controls) {
        NMTBCUSTOMDRAW draw = {};
        draw.nmcd.hdr = {control, UINT_PTR(GetDlgCtrlID(control)), UINT(NM_CUSTOMDRAW)};
        bool const toolbar = control == g_mainDialog.toolbar;
        for (DWORD stage : {DWORD(CDDS_PREPAINT), DWORD(CDDS_ITEMPREPAINT)}) {
            draw.nmcd.dwDrawStage = stage;
            LRESULT const answer = SendMessageW(dialog_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
            if (!toolbar) {
                EXPECT_EQ(0, answer) << "control " << GetDlgCtrlID(control) << ", stage " << stage;
            } else {
                EXPECT_NE(0, answer) << "the toolbar, stage " << stage;
            }
        }
    }
}

// Brushes, pens, fonts and themes for painting are made once: painting over and over costs nothing.
TEST_F(MainDialogLookTest, RepaintingTheDarkDialogMakesNoNewGdiObjects) {
    StartDarkWindows10();
    CreateDialogOnTop();
    Look(nullptr);
    int const before = CountGdiObjects();
    ASSERT_GT(before, 0);
    // An object lost in each repaint shows as a hundred after a hundred repaints.
    for (int i = 0; i < 100; ++i)
        RedrawWindow(dialog_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DispatchQueued();
    EXPECT_EQ(before, CountGdiObjects());
}

}  // namespace
}  // namespace theme_test
