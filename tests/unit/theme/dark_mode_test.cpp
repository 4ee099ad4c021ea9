// Deciding dark mode at start-up, on systems played by the doubles, and on the real system (Wine,
// whose UxTheme lacks the dark-mode ordinals).
#include "theme/dark_mode.h"

#include <ostream>

#include "system_double.h"

namespace theme_test {
namespace {

enum class AppEntry { kNone, kFlag, kAppMode };  // which form of ordinal 135 was kept

// What refreshing a window's title bar did.
struct TitleBar {
    enum Method { kNothing, kProperty, kAttribute } method;
    BOOL dark;
};

wchar_t const kDarkProperty[] = L"UseImmersiveDarkModeColors";
INT_PTR const kUntouched = 7;

TitleBar RefreshTitleBarOfAWindow() {
    HWND const window = CreateWindowExW(0, L"Static", L"title", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(window, kDarkProperty, reinterpret_cast<HANDLE>(kUntouched));
    g_recording.compositions.clear();
    RefreshTitleBar(window);
    INT_PTR const property = reinterpret_cast<INT_PTR>(GetPropW(window, kDarkProperty));
    RemovePropW(window, kDarkProperty);
    DestroyWindow(window);
    TitleBar result = {TitleBar::kNothing, FALSE};
    if (property != kUntouched) result = {TitleBar::kProperty, BOOL(property)};
    for (const CompositionCall& call : g_recording.compositions) {
        EXPECT_EQ(26u, call.attribute);
        EXPECT_EQ(4u, call.size);
        EXPECT_EQ(TitleBar::kNothing, result.method) << "one method only";
        result = {TitleBar::kAttribute, call.value};
    }
    return result;
}

AppEntry KeptAppEntry() {
    if (g_darkMode.entries.allowDarkModeForApp) return AppEntry::kFlag;
    if (g_darkMode.entries.setPreferredAppMode) return AppEntry::kAppMode;
    return AppEntry::kNone;
}

bool NoEntryKept() {
    DarkModeEntries const& e = g_darkMode.entries;
    return !e.ordinal49 && !e.refreshImmersiveColorPolicyState && !e.shouldAppsUseDarkMode &&
           !e.allowDarkModeForWindow && !e.allowDarkModeForApp && !e.setPreferredAppMode &&
           !e.isDarkModeAllowedForWindow && !e.setWindowCompositionAttribute;
}

using DarkModeDecisionTest = SystemDoubleTest;

// What start-up decided on a played system.
struct Decision {
    bool supported, enabled, hook, inEffect;
    std::vector<std::string> calls;  // the dark-mode ordinals called, in order
    AppEntry appEntry;
    TitleBar titleBar;
};

bool operator==(const Decision& a, const Decision& b) {
    return a.supported == b.supported && a.enabled == b.enabled && a.hook == b.hook &&
           a.inEffect == b.inEffect && a.calls == b.calls && a.appEntry == b.appEntry &&
           a.titleBar.method == b.titleBar.method && a.titleBar.dark == b.titleBar.dark;
}

std::ostream& operator<<(std::ostream& out, const Decision& d) {
    out << "supported " << d.supported << ", enabled " << d.enabled << ", hook " << d.hook << ", in effect "
        << d.inEffect << ", calls {";
    for (const std::string& call : d.calls) out << " " << call;
    return out << " }, ordinal 135 as " << int(d.appEntry) << ", title bar " << int(d.titleBar.method) << "/"
               << d.titleBar.dark;
}

// Decides dark mode on the played system as start-up does, and looks at what came of it.
Decision Decide(const PlayedSystem& system, int switchedOff) {
    g_played = system;
    g_recording = Recording{};
    StartDarkMode(GetModuleHandleW(nullptr), switchedOff);
    Decision decision = {g_darkMode.supported,
                         g_darkMode.enabled,
                         g_darkMode.creationHook != nullptr,
                         DarkModeInEffect(),
                         g_recording.calls,
                         KeptAppEntry(),
                         {}};
    if (!g_darkMode.supported) {
        EXPECT_TRUE(NoEntryKept()) << "entries of an unsupported system are dropped";
    }
    decision.titleBar = RefreshTitleBarOfAWindow();
    if (g_darkMode.creationHook) UnhookWindowsHookEx(g_darkMode.creationHook);
    g_darkMode.creationHook = nullptr;
    return decision;
}

PlayedSystem Played(void (*change)(PlayedSystem&)) {
    PlayedSystem system;
    system.build = 18362 | kTopBits;  // dark Windows 10, version 1903
    change(system);
    return system;
}

// Ordinal 135 with 1 (allow), then the colour policy's refresh, then the system's mode.
std::vector<std::string> const kInitialised = {"135(1)", "104", "132"};
Decision const kUnsupported = {false, false, false, false, {}, AppEntry::kNone, {TitleBar::kNothing, 0}};

TEST_F(DarkModeDecisionTest, DecisionTable) {
    auto const same = [](PlayedSystem&) {};
    struct Case {
        const char* name;
        PlayedSystem system;
        int switchedOff;
        int uxThemeLoads;
        Decision decision;
    } const cases[] = {
        // clang-format off
        {"no RtlGetNtVersionNumbers", Played([](PlayedSystem& s) { s.noVersionFunction = true; }), 0, 0,
         kUnsupported},
        {"Windows XP", Played([](PlayedSystem& s) { s.major = 5, s.minor = 1, s.build = 2600; }), 0, 0,
         kUnsupported},
        {"Windows 8.1", Played([](PlayedSystem& s) { s.major = 6, s.minor = 3, s.build = 9600 | kTopBits; }), 0, 1,
         kUnsupported},
        {"no UxTheme", Played([](PlayedSystem& s) { s.noUxTheme = true; }), 0, 1, kUnsupported},
        {"Windows 10 light", Played([](PlayedSystem& s) { s.appsUseDarkMode = false; }), 0, 1,
         {true, false, false, false, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, FALSE}}},
        {"high contrast on", Played([](PlayedSystem& s) { s.highContrast = true; }), 0, 1,
         {true, false, false, false, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, FALSE}}},
        // The build number comes with its top bits set; only the rest counts.
        {"build 18361", Played([](PlayedSystem& s) { s.build = 18361 | kTopBits; }), 0, 1,
         {true, true, true, true, kInitialised, AppEntry::kFlag, {TitleBar::kProperty, TRUE}}},
        {"build 18362", Played(same), 0, 1,
         {true, true, true, true, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, TRUE}}},
        {"build 22631", Played([](PlayedSystem& s) { s.build = 22631 | kTopBits; }), 0, 1,
         {true, true, true, true, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, TRUE}}},
        // Optional: dark contents under a light title bar.
        {"no SetWindowCompositionAttribute", Played([](PlayedSystem& s) { s.noCompositionAttribute = true; }), 0, 1,
         {true, true, true, true, kInitialised, AppEntry::kAppMode, {TitleBar::kNothing, 0}}},
        // Initialised all the same, but no hook: every window stays light.
        {"disable_dark_theme 1", Played(same), 1, 1,
         {true, true, false, false, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, TRUE}}},
        {"disable_dark_theme -1", Played(same), -1, 1,
         {true, true, false, false, kInitialised, AppEntry::kAppMode, {TitleBar::kAttribute, TRUE}}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.decision, Decide(c.system, c.switchedOff));
        EXPECT_EQ(c.uxThemeLoads, g_recording.uxThemeLoads);
        if (!c.system.noVersionFunction) {
            EXPECT_EQ(c.system.build & 0x0FFFFFFF, g_darkMode.build);
        }
    }
}

// Nothing is called unless every required entry is there: another system may have other functions
// under some of these numbers.
TEST_F(DarkModeDecisionTest, AnyMissingOrdinalLeavesDarkModeUnsupportedWithNothingCalled) {
    for (DWORD build : {18361u, 18362u}) {
        for (WORD ordinal : {49, 104, 132, 133, 135, 137}) {
            SCOPED_TRACE(testing::Message() << "build " << build << ", no ordinal " << ordinal);
            PlayedSystem system;
            system.build = build | kTopBits;
            system.missingOrdinal = ordinal;
            EXPECT_EQ(kUnsupported, Decide(system, 0));
        }
    }
}

TEST_F(DarkModeDecisionTest, WindowsAreAllowedDarkModeOnlyWhenSupported) {
    HWND const window = GetDesktopWindow();
    g_played.missingOrdinal = 137;
    InitializeDarkMode();
    AllowDarkModeForWindow(window);
    EXPECT_TRUE(g_recording.allowed.empty());

    g_played = PlayedSystem{};
    InitializeDarkMode();
    AllowDarkModeForWindow(window);
    EXPECT_EQ(std::vector<HWND>{window}, g_recording.allowed);
}

TEST_F(DarkModeDecisionTest, TheProcessIsAllowedOrRefusedDarkModeInEitherForm) {
    for (DWORD build : {18361u, 18362u}) {
        g_played.build = build;
        InitializeDarkMode();
        g_recording.calls.clear();
        AllowDarkModeForProcess(false);
        AllowDarkModeForProcess(true);
        EXPECT_EQ((std::vector<std::string>{"135(0)", "135(1)"}), g_recording.calls) << build;
    }
}

TEST_F(DarkModeDecisionTest, HighContrastFollowsTheSystemQuery) {
    EXPECT_FALSE(IsHighContrastOn());
    g_played.highContrast = true;
    EXPECT_TRUE(IsHighContrastOn());
}

// The real system: Wine's UxTheme has no ordinals 132 to 137, but other functions at 49 and 104.
// The doubles here only watch: every entry is the system's, and the ones at 49 and 104 are replaced
// by recorders so that a call of them would show.
FARPROC WINAPI WatchingGetProcAddress(HMODULE module, LPCSTR name) {
    FARPROC const real = g_realSystem.getProcAddress(module, name);
    if (!real || !IS_INTRESOURCE(name)) return real;
    switch (LOWORD(reinterpret_cast<ULONG_PTR>(name))) {
        case 49: return Entry(Ordinal49Double);
        case 104: return Entry(RefreshColourPolicyDouble);
    }
    return real;
}

TEST_F(DarkModeDecisionTest, OnThisSystemDarkModeIsNotSupportedAndNothingIsCalled) {
    g_themeSystem = g_realSystem;
    g_themeSystem.getProcAddress = WatchingGetProcAddress;
    StartDarkMode(GetModuleHandleW(nullptr), 0);
    EXPECT_FALSE(g_darkMode.supported);
    EXPECT_FALSE(g_darkMode.enabled);
    EXPECT_FALSE(DarkModeInEffect());
    EXPECT_EQ(nullptr, g_darkMode.creationHook);
    EXPECT_TRUE(NoEntryKept());
    EXPECT_TRUE(g_recording.calls.empty());
    DWORD major = 0, minor = 0, build = 0;
    using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    RealEntry<RtlGetNtVersionNumbersFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetNtVersionNumbers")(
        &major, &minor, &build);
    EXPECT_EQ(build & 0x0FFFFFFF, g_darkMode.build);
    EXPECT_EQ(TitleBar::kNothing, RefreshTitleBarOfAWindow().method);
}

TEST_F(DarkModeDecisionTest, ThemeWrappersGiveNeutralAnswersWithoutTheLibraryOrItsFunctions) {
    HWND const window = GetDesktopWindow();
    for (bool noLibrary : {true, false}) {
        SCOPED_TRACE(noLibrary ? "no UxTheme" : "no functions");
        g_played.noUxTheme = noLibrary;
        g_themeSystem.getProcAddress = [](HMODULE, LPCSTR) -> FARPROC { return nullptr; };
        EXPECT_EQ(0, SetThemeOfWindow(window, L"Explorer", nullptr));
        EXPECT_EQ(nullptr, OpenThemeOfWindow(window, L"Header"));
        EXPECT_EQ(0, CloseTheme(kHeaderTheme));
        COLORREF colour = RGB(1, 2, 3);
        EXPECT_LT(ReadThemeColour(kHeaderTheme, 1, 0, 3803, &colour), 0);
        EXPECT_EQ(RGB(1, 2, 3), colour) << "untouched";
    }
}

}  // namespace
}  // namespace theme_test
