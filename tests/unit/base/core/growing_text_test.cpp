#include "base/core/growing_text.h"

#include <stdint.h>

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(GrowingText, EmptyTextIsEmptyAndTerminated) {
    GrowingText text;
    EXPECT_EQ(std::u16string(text.Data()), u"");
    EXPECT_EQ(text.Length(), 0u);
    ASSERT_NE(text.MutableData(), nullptr);
    EXPECT_EQ(text.MutableData()[0], 0);
    text.Append(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(text.Length(), 0u);
}

TEST(GrowingText, AppendsGrowPastEveryCapacity) {
    GrowingText text;
    std::u16string expected;
    for (int i = 0; i < 5000; i++) {
        text.AppendDecimal(i - 2500);
        text.Append(u',');
        text.AppendAscii(" \xE4");  // a byte above 127 stays that code point
        std::string digits = std::to_string(i - 2500);
        expected += std::u16string(digits.begin(), digits.end()) + u", \u00E4";
    }
    EXPECT_FALSE(text.Failed());
    EXPECT_EQ(std::u16string(text.Data(), text.Length()), expected);
    EXPECT_EQ(text.Data()[text.Length()], 0);
}

TEST(GrowingText, ClearKeepsNothingAndSwapExchanges) {
    GrowingText a;
    GrowingText b;
    a.Append(u"alpha");
    b.Append(u"be");
    a.Swap(b);
    EXPECT_EQ(std::u16string(a.Data()), u"be");
    EXPECT_EQ(std::u16string(b.Data()), u"alpha");
    b.Clear();
    EXPECT_EQ(std::u16string(b.Data()), u"");
    b.Append(u'x');
    EXPECT_EQ(std::u16string(b.Data()), u"x");
}

TEST(GrowingText, ImpossibleSizeFailsAndKeepsTheText) {
    GrowingText text;
    text.Append(u"kept");
    EXPECT_FALSE(text.Reserve(SIZE_MAX));
    EXPECT_FALSE(text.Reserve(SIZE_MAX / 2));
    EXPECT_TRUE(text.Failed());
    text.Append(u"lost");
    EXPECT_EQ(std::u16string(text.Data()), u"kept");
    text.Clear();
    EXPECT_FALSE(text.Failed()) << "a cleared text may grow again";
}

TEST(GrowingText, WritesAtTheEndAfterReserve) {
    GrowingText text;
    text.Append(u"ab");
    ASSERT_TRUE(text.Reserve(3));
    text.End()[0] = u'c';
    text.End()[1] = u'd';
    text.Grow(2);
    EXPECT_EQ(std::u16string(text.Data()), u"abcd");
    text.Grow(100);  // more than was reserved: refused
    EXPECT_EQ(text.Length(), 4u);
}

}  // namespace
