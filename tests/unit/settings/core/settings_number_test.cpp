#include "settings/core/settings_number.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingNumber, ParsesLikeTheCLibraryWithoutOverflowCheck) {
    struct {
        const char16_t* text;
        int expected;
    } const cases[] = {
        {u"42", 42},
        {u" 42", 42},
        {u"\t\r\n42", 42},
        {u"42abc", 42},
        {u"abc", 0},
        {u"", 0},
        {u"-5", -5},
        {u"+7", 7},
        {u"--5", 0},
        {u"- 5", 0},
        {u"0", 0},
        {u"007", 7},
        {u"16777215", 16777215},
        {u"2147483647", 2147483647},
        {u"-2147483648", int(0x80000000u)},
        // Too many digits wrap around modulo 2^32 instead of overflowing.
        {u"4294967296", 0},
        {u"4294967297", 1},
        {nullptr, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, ParseSettingNumber(c.text));
    // A very long number must not crash or trap; its value is whatever the wrap-around gives.
    std::u16string const huge(5000, u'9');
    (void)ParseSettingNumber(huge.c_str());
}

TEST(SettingNumber, BoundsApplyOnlyWhenBothAreGiven) {
    EXPECT_EQ(3, LimitSettingNumber(7, 0, 3));
    EXPECT_EQ(0, LimitSettingNumber(-2, 0, 3));
    EXPECT_EQ(2, LimitSettingNumber(2, 0, 3));
    EXPECT_EQ(7, LimitSettingNumber(7, -1, 3));
    EXPECT_EQ(-9, LimitSettingNumber(-9, 0, -1));
    // A minimum above the maximum wins.
    EXPECT_EQ(5, LimitSettingNumber(1, 5, 3));
}

TEST(SettingNumber, PrimaryLanguageChoosesTheSlot) {
    struct {
        unsigned primary;
        int slot;
    } const cases[] = {
        {0x07, 0},  {0x09, 1},  {0x12, 2},  {0x0C, 3},  {0x11, 4},  {0x19, 5},  {0x0A, 6},
        {0x10, 7},  {0x04, 8},  {0x16, 9},  {0x1E, 10}, {0x01, 11}, {0x62, 12}, {0x15, 13},
        {0x14, 14}, {0x3C, 15}, {0x13, 16}, {0x2A, 18}, {0x1D, 19}, {0x06, 20}, {0x36, 22},
        {0x52, 23}, {0x29, 24}, {0x0D, 25}, {0x39, 26}, {0x3E, 27}, {0x21, 28}, {0x64, 29},
        {0x0B, 30}, {0x05, 31}, {0x22, 32}, {0x0E, 33}, {0x1A, 34}, {0x08, 1},  // Greek is not among the
                                                                                // slots: English
        {0x00, 1},  {0x3FF, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.slot, AutomaticLanguageIndex(c.primary)) << "primary " << c.primary;
}

}  // namespace
