#include "settings/core/settings_table.h"

#include <string>

#include <gtest/gtest.h>

namespace {

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
