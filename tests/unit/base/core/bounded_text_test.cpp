#include "base/core/bounded_text.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

// Each case puts its pieces into a buffer of `capacity` units; a guard unit behind it stays.
TEST(BoundedText, CutsAtTheLastWholeCharacterAndStaysTerminated) {
    struct Case {
        size_t capacity;
        std::u16string pieces[3];
        std::u16string expected;
        bool whole;
    } const cases[] = {
        {8, {u"abc", u"", u"def"}, u"abcdef", true},
        {7, {u"abc", u"def"}, u"abcdef", true},  // six units and the terminator
        {6, {u"abc", u"def"}, u"abcde", false},
        {4, {u"ab", u"cd", u"e"}, u"abc", false},  // once cut, shorter pieces stay out too
        {1, {u"a"}, u"", false},
        {1, {u""}, u"", true},
        // U+1F600 is the pair D83D DE00: kept whole or not at all.
        {4, {u"ab\U0001F600"}, u"ab", false},
        {5, {u"ab\U0001F600"}, u"ab\U0001F600", true},
        {4, {u"a\U0001F600", u"b"}, u"a\U0001F600", false},
        {3, {u"\U0001F600\U0001F600"}, u"\U0001F600", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "capacity " << c.capacity << ", expected length " << c.expected.size());
        char16_t buffer[16];
        std::fill(buffer, buffer + 16, u'#');
        BoundedText text(buffer, c.capacity);
        for (const std::u16string& piece : c.pieces) text.Put(piece.c_str());
        EXPECT_EQ(c.expected, std::u16string(buffer));
        EXPECT_EQ(c.expected.size(), text.Length());
        EXPECT_EQ(c.whole, text.Whole());
        EXPECT_EQ(u'#', buffer[c.capacity]) << "written past the capacity";
    }
}

TEST(BoundedText, NumbersAsPrintfWritesThemAndNothingWhereNothingIs) {
    char16_t buffer[64];
    BoundedText text(buffer, 64);
    for (int value : {0, 7, -42, 2147483647, int(0x80000000u)}) text.PutDecimal(value), text.Put(u' ');
    for (int value : {0, 10, 255, 4096, -1}) text.PutHex(value), text.Put(u' ');
    EXPECT_EQ(u"0 7 -42 2147483647 -2147483648 00 0A FF 1000 FFFFFFFF ", std::u16string(buffer));

    // No room, and null texts, put nothing.
    BoundedText none(nullptr, 0);
    none.Put(u"abc");
    none.PutDecimal(5);
    EXPECT_FALSE(none.Whole());
    EXPECT_EQ(0u, none.Length());

    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    BoundedText empty(small, 4);
    EXPECT_EQ(0, small[0]) << "starts empty";
    empty.Put(static_cast<const char16_t*>(nullptr));
    EXPECT_TRUE(empty.Whole());
    EXPECT_EQ(0u, empty.Length());
}

}  // namespace
