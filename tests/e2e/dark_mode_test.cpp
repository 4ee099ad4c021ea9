// Dark mode with the real system: Wine's UxTheme has none of the dark-mode entries (and other
// functions under two of their numbers), so the program must find dark mode unsupported and look
// exactly as in light mode, whatever "disable_dark_theme" says.
#include <string>

#include "harness.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kPaletteArgument[] = L"last_rgb_color_from_the_huepeek";
COLORREF const kDarkBackground = RGB(32, 32, 32);

struct Look {
    RECT window = {};
    RECT caret = {};  // screen; blinks, so it is left out of comparisons
    std::vector<COLORREF> pixels;
};

// The palette process's colour dialog as it looks with the setting, taken once it has painted.
Look LookAtColourDialog(const wchar_t* disableDarkTheme, const wchar_t* screenshot) {
    Look look;
    ResetSettings();
    WriteSetting(L"lng", L"1");
    WriteSetting(L"last_rgb_color", std::to_wstring(0x38220C));
    WriteSetting(L"disable_dark_theme", disableDarkTheme);
    Process palette;
    EXPECT_TRUE(StartHuepeek(palette, kPaletteArgument));
    HWND const dialog = WaitForWindow(L"#32770", nullptr, palette.Id(), kStartTimeoutMs);
    EXPECT_NE(nullptr, dialog) << "no colour dialog";
    if (!dialog) return look;
    Sleep(800);
    GetWindowRect(dialog, &look.window);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread) && thread.hwndCaret) {
        look.caret = thread.rcCaret;
        MapWindowPoints(thread.hwndCaret, nullptr, reinterpret_cast<POINT*>(&look.caret), 2);
        InflateRect(&look.caret, 1, 1);
    }
    ScreenPixels const pixels(look.window);
    SaveScreenshot(look.window, ScreenshotDir() + L"\\" + screenshot);
    for (int y = look.window.top; y < look.window.bottom; ++y)
        for (int x = look.window.left; x < look.window.right; ++x) look.pixels.push_back(pixels.At(x, y));
    EXPECT_TRUE(ClickButton(GetDlgItem(dialog, IDCANCEL)));
    DWORD code = 0;
    EXPECT_TRUE(palette.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(1), code);
    return look;
}

using DarkModeTest = E2eTest;

TEST_F(DarkModeTest, WithoutDarkModeEntriesTheColourDialogLooksTheSameWhateverTheSetting) {
    Look const allowed = LookAtColourDialog(L"0", L"colour_dialog_dark_theme_allowed.png");
    Look const disabled = LookAtColourDialog(L"1", L"colour_dialog_dark_theme_disabled.png");
    ASSERT_FALSE(allowed.pixels.empty());
    ASSERT_TRUE(EqualRect(&allowed.window, &disabled.window)) << "the same place and size";
    ASSERT_EQ(allowed.pixels.size(), disabled.pixels.size());
    int const width = allowed.window.right - allowed.window.left;
    int differences = 0;
    int dark = 0;
    for (size_t i = 0; i < allowed.pixels.size(); ++i) {
        POINT const at = {allowed.window.left + int(i % size_t(width)),
                          allowed.window.top + int(i / size_t(width))};
        dark += allowed.pixels[i] == kDarkBackground;
        if (PtInRect(&allowed.caret, at) || PtInRect(&disabled.caret, at)) continue;
        differences += allowed.pixels[i] != disabled.pixels[i];
    }
    EXPECT_EQ(0, differences) << "pixels that differ between disable_dark_theme 0 and 1";
    EXPECT_LT(dark, int(allowed.pixels.size()) / 20) << "the light look, not the dark one";
}

}  // namespace
}  // namespace e2e
