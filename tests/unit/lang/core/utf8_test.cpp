#include "lang/core/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, WellFormedSequences) {
    struct {
        std::string bytes;
        char32_t codePoint;
    } const cases[] = {
        {"A", U'A'},
        {"\xC3\xA9", U'\u00E9'},
        {"\xE2\x82\xAC", U'\u20AC'},
        {"\xF0\x9F\x98\x80", U'\U0001F600'},
        {"\xF4\x8F\xBF\xBF", U'\U0010FFFF'},
    };
    for (const auto& c : cases) {
        size_t at = 0;
        char32_t cp = 0;
        EXPECT_TRUE(NextUtf8CodePoint(c.bytes, &at, &cp)) << c.bytes;
        EXPECT_EQ(c.codePoint, cp);
        EXPECT_EQ(c.bytes.size(), at);
    }
}

TEST(Utf8, IllFormedSequencesAreRefusedWhereTheyStand) {
    const std::string cases[] = {
        "\x80",              // a continuation byte alone
        "\xC3",              // truncated
        "\xE2\x82",          // truncated
        "\xC3\x41",          // no continuation
        "\xC0\xAF",          // overlong "/"
        "\xE0\x80\xAF",      // overlong
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xFF",
        "",
    };
    for (const std::string& bytes : cases) {
        size_t at = 0;
        char32_t cp = 0;
        EXPECT_FALSE(NextUtf8CodePoint(bytes, &at, &cp)) << bytes.size();
        EXPECT_EQ(0u, at);
    }
}

}  // namespace
