#include "base/display_scale.h"

#include <gtest/gtest.h>

#include "res/resource.h"

namespace {

int g_setCalls;
BOOL WINAPI SetAwareSucceeds() {
    ++g_setCalls;
    return TRUE;
}
// As on a system that has taken the awareness from the manifest already.
BOOL WINAPI SetAwareFails() {
    ++g_setCalls;
    return FALSE;
}
BOOL WINAPI Aware() {
    return TRUE;
}
BOOL WINAPI Unaware() {
    return FALSE;
}

// Dark mode starts on whether the process is DPI aware, whichever way it became so.
TEST(DisplayScaleTest, AwarenessIsTheProcesssNotTheRequestsSuccess) {
    struct Case {
        SetProcessDpiAwareFn setAware;
        IsProcessDpiAwareFn isAware;
        bool aware;
        const char* what;
    } const cases[] = {
        {SetAwareFails, Aware, true, "the manifest made it aware; the request fails"},
        {SetAwareSucceeds, Aware, true, "the request made it aware"},
        {SetAwareFails, Unaware, false, "neither"},
        {nullptr, Aware, true, "no request to make, aware all the same"},
        {SetAwareSucceeds, nullptr, true, "no way to ask: the request's success"},
        {SetAwareFails, nullptr, false, "no way to ask, the request failed"},
        {nullptr, nullptr, false, "a system without either"},
    };
    for (const Case& c : cases) {
        g_setCalls = 0;
        EXPECT_EQ(c.aware, MakeProcessDpiAware(c.setAware, c.isAware)) << c.what;
        // Asked for always, for systems that do not honour the manifest.
        EXPECT_EQ(c.setAware ? 1 : 0, g_setCalls) << c.what;
    }
}

// The test program carries the program's manifest. Wine makes every process per-monitor aware
// whatever its manifest says, so what is checked is that the system reads the awareness from it:
// per-monitor v2, system aware where that is unknown, and the older setting for older systems.
TEST(DisplayScaleTest, TheManifestAsksForPerMonitorAwareness) {
    struct Setting {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    } const settings[] = {
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", L"PerMonitorV2, System"},
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true"},
    };
    for (const Setting& setting : settings) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        ASSERT_TRUE(
            QueryActCtxSettingsW(0, nullptr, setting.space, setting.name, value, ARRAYSIZE(value), &written))
            << "no " << setting.name << " in the manifest (" << GetLastError() << ")";
        EXPECT_STREQ(setting.value, value);
    }
    EXPECT_TRUE(MakeProcessDpiAware());
}

int IconSide(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// 100 % to 200 %: the sizes the shell and the title bar ask for.
TEST(DisplayScaleTest, IconsLoadAtTheSizeOfTheirDpi) {
    HINSTANCE const instance = GetModuleHandleW(nullptr);
    struct Case {
        UINT dpi;
        int small, large;
    } const cases[] = {{96, 16, 32}, {120, 20, 40}, {144, 24, 48}, {192, 32, 64}};
    for (const Case& c : cases) {
        for (int id : {IDI_HUEPEEK, IDI_PIXEL}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << c.dpi << " dpi");
            EXPECT_EQ(c.small, MetricForDpi(SM_CXSMICON, c.dpi));
            EXPECT_EQ(c.large, MetricForDpi(SM_CXICON, c.dpi));
            for (bool small : {true, false}) {
                HICON const icon = LoadIconForDpi(instance, id, small, c.dpi);
                ASSERT_TRUE(icon);
                EXPECT_EQ(small ? c.small : c.large, IconSide(icon));
                DestroyIcon(icon);
            }
        }
    }
}

}  // namespace
