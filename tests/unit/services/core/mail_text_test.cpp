#include "services/core/mail_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

char16_t const kProduct[] = u"Huepeek";
char16_t const kSite[] = u"https://www.vantorel.eu";

std::u16string Subject(const char16_t* text, size_t capacity = kMailFieldChars) {
    std::u16string out(capacity, u'#');
    FillMailSubject(text, kProduct, &out[0], capacity);
    return out.c_str();
}

std::u16string Text(const char16_t* text, size_t capacity = kMailTextChars) {
    std::u16string out(capacity, u'#');
    FillMailText(text, kProduct, kSite, &out[0], capacity);
    return out.c_str();
}

TEST(MailText, SubjectGetsTheProductNameOnly) {
    struct {
        const char16_t* text;
        const char16_t* expected;
    } const cases[] = {
        {u"Juhuuuu I found #AP#!", u"Juhuuuu I found Huepeek! :Huepeek"},
        {u"#AP##AP#", u"HuepeekHuepeek :Huepeek"},
        // Only "#AP#" is a placeholder of the subject; escapes stay as written.
        {u"#IN# #DL# \\r\\n", u"#IN# #DL# \\r\\n :Huepeek"},
        {u"#AP", u"#AP :Huepeek"},
        {u"", u" :Huepeek"},
        {nullptr, u" :Huepeek"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::u16string(c.expected), Subject(c.text));
}

TEST(MailText, TextGetsLineBreaksAndEveryPlaceholder) {
    struct {
        const char16_t* text;
        const char16_t* expected;
    } const cases[] = {
        {u"Hello,\\r\\n I found #AP# . \\r\\n download: #IN#?Download=#AP#\\r\\n ",
         u"Hello,\r\n I found Huepeek . \r\n download: "
         u"https://www.vantorel.eu?site=Freeware/Huepeek?Download=Huepeek\r\n "},
        {u"#DL#", u"https://www.vantorel.eu"},
        {u"#IN##IN#",
         u"https://www.vantorel.eu?site=Freeware/Huepeekhttps://www.vantorel.eu?site=Freeware/Huepeek"},
        // Other escapes and a lone backslash stay.
        {u"a\\tb\\", u"a\\tb\\"},
        {u"\\\\n", u"\\\n"},
        // In turn, each over the result of the one before: "#AP#" first, so "#DL#AP#" keeps "#DL"
        // in front of the product name.
        {u"#DL#AP#", u"#DLHuepeek"},
        {u"", u""},
        {nullptr, u""},
    };
    for (const auto& c : cases) EXPECT_EQ(std::u16string(c.expected), Text(c.text));
}

// The subject's field holds 263 characters: a longer subject is cut there, never inside a
// surrogate pair, and nothing is written past the capacity.
TEST(MailText, LongTextsAreCutCleanly) {
    std::u16string const fits(263 - 9, u'a');  // with " :Huepeek", exactly 263
    EXPECT_EQ(fits + u" :Huepeek", Subject(fits.c_str()));
    std::u16string const longer(400, u'b');
    EXPECT_EQ(std::u16string(263, u'b'), Subject(longer.c_str()));
    // U+1F600 as a surrogate pair on units 262 and 263: both go.
    std::u16string const pair = std::u16string(262, u'c') + u"\U0001F600" + u"tail";
    EXPECT_EQ(std::u16string(262, u'c'), Subject(pair.c_str()));
    std::u16string const pairFits = std::u16string(261, u'c') + u"\U0001F600" + u"tail";
    EXPECT_EQ(std::u16string(261, u'c') + u"\U0001F600", Subject(pairFits.c_str()));

    std::u16string out(16 + 8, u'#');
    EXPECT_FALSE(FillMailText(u"#IN#", kProduct, kSite, &out[0], 16));
    EXPECT_EQ(u"https://www.van", std::u16string(out.c_str()));
    EXPECT_EQ(std::u16string(8, u'#'), out.substr(16)) << "written past the capacity";
    EXPECT_TRUE(FillMailText(u"#AP#", kProduct, kSite, &out[0], 16));

    // Many placeholders in a user's language file grow past the text's buffer: cut, not overflowed.
    std::u16string many;
    for (int i = 0; i < 1000; ++i) many += u"#IN#";
    std::u16string const grown = Text(many.c_str());
    EXPECT_EQ(kMailTextChars - 1, grown.size());
}

TEST(MailText, CopyTextCut) {
    char16_t out[4];
    EXPECT_TRUE(CopyTextCut(u"abc", out, 4));
    EXPECT_EQ(std::u16string(u"abc"), out);
    EXPECT_FALSE(CopyTextCut(u"abcd", out, 4));
    EXPECT_EQ(std::u16string(u"abc"), out);
    EXPECT_FALSE(CopyTextCut(u"ab\U0001F600", out, 4));
    EXPECT_EQ(std::u16string(u"ab"), out);
    EXPECT_TRUE(CopyTextCut(nullptr, out, 4));
    EXPECT_EQ(std::u16string(), out);
    EXPECT_FALSE(CopyTextCut(u"a", out, 0));
    EXPECT_FALSE(CopyTextCut(u"a", nullptr, 4));
}

}  // namespace
