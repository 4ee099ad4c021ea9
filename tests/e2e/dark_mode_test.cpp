// Dark mode with the real system: Wine's UxTheme has none of the dark-mode entries (and other
// functions under two of their numbers), so the program must find dark mode unsupported and its
// windows look exactly as in light mode, whatever "disable_dark_theme" says.
#include <string>

#include "dialog_driver.h"
#include "harness.h"
#include "screen_pixels.h"

namespace e2e {
namespace {

wchar_t const kPaletteArgument[] = L"last_rgb_color_from_the_huepeek";
COLORREF const kDarkBackground = RGB(32, 32, 32);
int const kExitButton = 1045;

struct Look {
    RECT window = {};
    RECT caret = {};  // screen; blinks, so it is left out of comparisons
    std::vector<COLORREF> pixels;
};

// The window's pixels, with the caret's left out (it blinks).
std::vector<COLORREF> PixelsOf(const Look& look) {
    std::vector<COLORREF> pixels;
    ScreenPixels const screen(look.window);
    if (screen.Empty()) return pixels;
    for (int y = look.window.top; y < look.window.bottom; ++y)
        for (int x = look.window.left; x < look.window.right; ++x)
            pixels.push_back(PtInRect(&look.caret, {x, y}) ? 0 : screen.At(x, y));
    return pixels;
}

// A window of a started program as it looks once it has painted: its thread has been round its
// message loop, and two looks in a row agree.
Look LookAt(HWND window, const wchar_t* screenshot) {
    Look look;
    EXPECT_TRUE(DrainMessages(window));
    GetWindowRect(window, &look.window);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndCaret) {
        look.caret = thread.rcCaret;
        MapWindowPoints(thread.hwndCaret, nullptr, reinterpret_cast<POINT*>(&look.caret), 2);
        InflateRect(&look.caret, 1, 1);
    }
    std::vector<COLORREF> previous;
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<COLORREF> now = PixelsOf(look);
            bool const steady = !now.empty() && now == previous;
            previous.swap(now);
            return steady;
        },
        kStartTimeoutMs))
        << "the window did not finish painting";
    look.pixels = previous;
    SaveScreenshot(look.window, ScreenshotDir() + L"\\" + screenshot);
    return look;
}

// What a start of the program with the setting shows, the pointer resting outside it: the window
// that find waits for, looked at and then closed with its button closeId, which ends that run with 1.
template <typename Find>
Look LookAtStart(const wchar_t* disableDarkTheme, const wchar_t* arguments, Find find, int closeId,
                 const wchar_t* screenshot) {
    ResetSettings();
    WriteSetting(L"lng", L"1");
    WriteSetting(L"last_rgb_color", std::to_wstring(0x38220C));
    WriteSetting(L"disable_dark_theme", disableDarkTheme);
    MoveCursor(0, 0);
    Process program;
    EXPECT_TRUE(StartHuepeek(program, arguments));
    HWND const window = find(program.Id());
    EXPECT_NE(nullptr, window) << "no window to look at";
    if (!window) return Look();
    Look const look = LookAt(window, screenshot);
    EXPECT_TRUE(ClickButton(GetDlgItem(window, closeId)));
    DWORD code = 0;
    EXPECT_TRUE(program.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(1), code);
    return look;
}

// The palette process's colour dialog.
Look LookAtColourDialog(const wchar_t* disableDarkTheme, const wchar_t* screenshot) {
    auto const find = [](DWORD process) {
        return WaitForWindow(L"#32770", nullptr, process, kStartTimeoutMs);
    };
    return LookAtStart(disableDarkTheme, kPaletteArgument, find, IDCANCEL, screenshot);
}

Look LookAtMainDialog(const wchar_t* disableDarkTheme, const wchar_t* screenshot) {
    auto const find = [](DWORD process) {
        HWND const dialog = WaitForMainDialog(process, kStartTimeoutMs);
        return dialog && WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 2000) ? dialog : nullptr;
    };
    return LookAtStart(disableDarkTheme, L"", find, kExitButton, screenshot);
}

void ExpectSameLightLook(const Look& allowed, const Look& disabled) {
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

using DarkModeTest = E2eTest;

TEST_F(DarkModeTest, WithoutDarkModeEntriesTheColourDialogLooksTheSameWhateverTheSetting) {
    Look const allowed = LookAtColourDialog(L"0", L"colour_dialog_dark_theme_allowed.png");
    Look const disabled = LookAtColourDialog(L"1", L"colour_dialog_dark_theme_disabled.png");
    ExpectSameLightLook(allowed, disabled);
}

TEST_F(DarkModeTest, WithoutDarkModeEntriesTheMainDialogLooksTheSameWhateverTheSetting) {
    Look const allowed = LookAtMainDialog(L"0", L"main_dialog_dark_theme_allowed.png");
    Look const disabled = LookAtMainDialog(L"1", L"main_dialog_dark_theme_disabled.png");
    ExpectSameLightLook(allowed, disabled);
}

}  // namespace
}  // namespace e2e
