#include "base/core/text.h"

#include <limits.h>

#include <string>

#include <gtest/gtest.h>

namespace {

// The two readers side by side: the same syntax, different answers only where digits overflow.
TEST(DecimalText, KeysSaturateWhereSettingsWrap) {
    struct {
        const char16_t* text;
        int key;      // ParseKeyNumber, as wcstol
        int setting;  // ParseSettingNumber, wrapping modulo 2^32
    } const cases[] = {
        {u"", 0, 0},
        {u"abc", 0, 0},
        {u"42", 42, 42},
        {u" 42", 42, 42},
        {u"  40=x", 40, 40},
        {u"\t\r\n\v\f7", 7, 7},
        {u"42abc", 42, 42},
        {u"4a0", 4, 4},
        {u"+7", 7, 7},
        {u"-5", -5, -5},
        {u"-1", -1, -1},
        {u"--5", 0, 0},
        {u"- 5", 0, 0},
        {u"007", 7, 7},
        {u"00254", 254, 254},
        {u"TranslatorName", 0, 0},
        {u"=x", 0, 0},
        {u"0x10", 0, 0},
        {u"\u0663", 0, 0},  // ARABIC-INDIC DIGIT THREE is no decimal digit in the C locale
        {u"16777215", 16777215, 16777215},
        {u"2147483647", INT_MAX, INT_MAX},
        {u"-2147483648", INT_MIN, INT_MIN},
        {u"2147483648", INT_MAX, INT_MIN},
        {u"-2147483649", INT_MIN, INT_MAX},
        {u"4294967296", INT_MAX, 0},
        {u"4294967297", INT_MAX, 1},
        {u"99999999999999999999999", INT_MAX, int(0xF67FFFFFu)},  // 10^23 - 1 mod 2^32
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::u16string(c.text).size());
        EXPECT_EQ(c.key, ParseKeyNumber(c.text));
        EXPECT_EQ(c.setting, ParseSettingNumber(c.text));
    }
    EXPECT_EQ(0, ParseKeyNumber(nullptr));
    EXPECT_EQ(0, ParseSettingNumber(nullptr));
    // Very long numbers must not crash or trap.
    std::u16string const huge(5000, u'9');
    EXPECT_EQ(INT_MAX, ParseKeyNumber(huge.c_str()));
    (void)ParseSettingNumber(huge.c_str());
}

TEST(DecimalText, FormatsLikePercentD) {
    struct {
        int value;
        const char16_t* text;
    } const cases[] = {
        {0, u"0"}, {7, u"7"}, {-5, u"-5"}, {255, u"255"}, {INT_MAX, u"2147483647"}, {INT_MIN, u"-2147483648"},
    };
    for (const auto& c : cases) {
        char16_t out[kDecimalChars];
        size_t const length = FormatDecimal(c.value, out);
        EXPECT_EQ(std::u16string(c.text), out);
        EXPECT_EQ(std::u16string(c.text).size(), length);
    }
}

// The reading order of a control's text follows its first letter of a strong direction.
TEST(Text, ReadingOrderFollowsTheFirstStrongLetter) {
    struct {
        const char16_t* text;
        bool rightToLeft;
    } const cases[] = {
        {u"Exit", false},
        {u"خروج", true},               // Arabic "exit"
        {u"التشغيل Windows", true},    // Arabic before a Latin word
        {u"Windows הפעלה", false},     // Latin first
        {u"«? Pixel ?» לחצו", false},  // the first letter is Latin
        {u"[1] לחצו", true},           // brackets and digits have no direction
        {u"ذخیره", true},              // Persian
        {u"Хватит", false},            // Cyrillic
        {u"日本", false},              // Japanese
        {u"123 #", false},
        {u"", false},
        {nullptr, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rightToLeft, ReadsRightToLeft(c.text)) << TextLength(c.text);
}

TEST(Text, WithoutAccessKeyAsATitleShowsIt) {
    struct {
        const char16_t* text;
        const char16_t* shown;
    } const cases[] = {
        {u"&Info", u"Info"},
        {u"E&xit", u"Exit"},
        {u"結束(&X)", u"結束"},                // East Asian: the letter after the words
        {u"プログラム(&R) ", u"プログラム "},  // a trailing blank stays
        {u"(&Info)", u"(Info)"},               // not a single letter in brackets
        {u"Save && &Quit", u"Save && Quit"},   // "&&" is a plain "&"
        {u"Fish && Chips", u"Fish && Chips"},
        {u"A&", u"A&"},  // nothing to mark
        {u"&", u"&"},
        {u"", u""},
        {u"Info", u"Info"},
        {u"&A&B", u"A&B"},  // only the first marks a key
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        char16_t out[32];
        size_t const length = WithoutAccessKey(cases[i].text, out, 32);
        EXPECT_TRUE(EqualsText(cases[i].shown, out)) << "case " << i;
        EXPECT_EQ(TextLength(cases[i].shown), length) << "case " << i;
    }
    char16_t small[4];
    EXPECT_EQ(3u, WithoutAccessKey(u"&Abcdef", small, 4));
    EXPECT_TRUE(EqualsText(u"Abc", small)) << "cut to the room";
    EXPECT_EQ(0u, WithoutAccessKey(nullptr, small, 4));
    EXPECT_EQ(0, small[0]);
}

TEST(Text, ContainsAndEquals) {
    EXPECT_TRUE(ContainsText(u"x-bgx", u"-bg"));
    EXPECT_TRUE(ContainsText(u"abc", u""));
    EXPECT_FALSE(ContainsText(u"-BG", u"-bg"));
    EXPECT_FALSE(ContainsText(u"-b", u"-bg"));
    EXPECT_FALSE(ContainsText(nullptr, u"a"));
    EXPECT_TRUE(EqualsText(u"abc", u"abc"));
    EXPECT_FALSE(EqualsText(u"abc ", u"abc"));
    EXPECT_FALSE(EqualsText(u"abc", u"abcd"));
    EXPECT_FALSE(EqualsText(nullptr, u""));
    EXPECT_EQ(0u, TextLength(nullptr));
    EXPECT_EQ(3u, TextLength(u"abc"));
}

}  // namespace
