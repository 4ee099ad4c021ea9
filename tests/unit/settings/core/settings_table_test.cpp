#include "settings/core/settings_table.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// The keys and defaults users' registries and the program's other parts rely on.
TEST(SettingsTable, KeysAndDefaults) {
    struct {
        Setting setting;
        const char16_t* key;
        int defaultValue;
    } const cases[] = {
        {Setting::kLanguage, u"lng", 1},         {Setting::kDisableDarkTheme, u"disable_dark_theme", 0},
        {Setting::kStartTray, u"start_tray", 0}, {Setting::kTrayIfMinimize, u"tray_if_minimize", 1},
        {Setting::kPage, u"c_wnd", 2},           {Setting::kLastColour, u"last_rgb_color", 0},
        {Setting::kHotKey, u"hotkey", 3139},  // Win+Shift+C
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::u16string(c.key), SettingOf(c.setting).key);
        EXPECT_EQ(c.defaultValue, SettingOf(c.setting).defaultValue);
    }
}

TEST(SettingsTable, CustomColourKeysHaveNoLeadingZeros) {
    char16_t key[kCustomColourKeyChars];
    CustomColourKey(0, key);
    EXPECT_EQ(u"last_color_0", std::u16string(key));
    CustomColourKey(7, key);
    EXPECT_EQ(u"last_color_7", std::u16string(key));
    CustomColourKey(15, key);
    EXPECT_EQ(u"last_color_15", std::u16string(key));
}

TEST(SettingsTable, BoundsApplyOnlyWhenBothAreGiven) {
    EXPECT_EQ(3, LimitSettingNumber(7, 0, 3));
    EXPECT_EQ(0, LimitSettingNumber(-2, 0, 3));
    EXPECT_EQ(2, LimitSettingNumber(2, 0, 3));
    EXPECT_EQ(7, LimitSettingNumber(7, -1, 3));
    EXPECT_EQ(-9, LimitSettingNumber(-9, 0, -1));
    // A minimum above the maximum wins.
    EXPECT_EQ(5, LimitSettingNumber(1, 5, 3));
}

}  // namespace
