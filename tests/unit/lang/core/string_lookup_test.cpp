#include "lang/core/string_lookup.h"

#include <gtest/gtest.h>

#include <limits.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Slot 0 German (lacks 21, has 55 empty), slot 1 English, slot 2 the trailing nameless slot.
const char16_t kArchiveText[] =
    u"\uFEFFHuepeek\r\n##\r\n19=Huepeek 3.36\r\n##\r\n##\r\n"
    u"##=German\tDeutsch\r\n20=Beenden\r\n55=\r\n"
    u"##=English\tEnglisch\r\n20=Exit\r\n21=Cancel\r\n55=Uninstall\r\n"
    u"##\r\n\r\n\r\n";

class StringLookup : public testing::Test {
  protected:
    void SetUp() override {
        text.assign(kArchiveText, kArchiveText + std::char_traits<char16_t>::length(kArchiveText) + 1);
        LoadArchiveText(text.data(), text.size() - 1, archive.get());
        ASSERT_EQ(archive->languageCount, 3);
        external[21] = u"Abbruch (Datei)";
    }

    std::u16string Lookup(int languageIndex, bool externalInForce, int id) {
        char16_t fallback[64];
        const char16_t* got =
            LookupText(*archive, languageIndex, externalInForce, external, id, fallback, 64);
        return got ? std::u16string(got) : u"<null>";
    }

    std::vector<char16_t> text;
    std::unique_ptr<LanguageArchive> archive = std::make_unique<LanguageArchive>();
    const char16_t* external[kStringIdCount] = {};
};

struct LookupCase {
    const char* name;
    int languageIndex;
    bool externalInForce;
    int id;
    const char16_t* expected;
};

TEST_F(StringLookup, Cases) {
    const LookupCase cases[] = {
        {"current language has it", 0, false, 20, u"Beenden"},
        {"current language lacks it: English", 0, false, 21, u"Cancel"},
        {"empty text is returned, not English", 0, false, 55, u""},
        {"reference language itself", 1, false, 21, u"Cancel"},
        {"nameless slot falls back to English", 2, false, 20, u"Exit"},
        {"index equal to the language count: English", 3, false, 20, u"Exit"},
        {"index 48: English", 48, false, 20, u"Exit"},
        {"negative index: English", -1, false, 20, u"Exit"},
        {"INT_MIN index: English", INT_MIN, false, 20, u"Exit"},
        {"ID in no section", 0, false, 1, u"str2:1?"},
        {"ID 255", 0, false, 255, u"str2:255?"},
        {"ID INT_MAX", 1, false, INT_MAX, u"str2:2147483647?"},
        {"negative ID", 0, false, -1, u"str1:-1?"},
        {"INT_MIN ID", 0, false, INT_MIN, u"str1:-2147483648?"},
        {"negative ID with an index outside the slots", 99, false, -5, u"str1:-5?"},
        // With a language file in force nothing else is consulted, not even English.
        {"file has it", 1, true, 21, u"Abbruch (Datei)"},
        {"file lacks it, English has it", 1, true, 20, u"str:20?"},
        {"file lacks it, German has it", 0, true, 20, u"str:20?"},
        {"file in force, negative ID", 0, true, -1, u"str:-1?"},
        {"file in force, ID 255", 0, true, 255, u"str2:255?"},
    };
    for (const LookupCase& c : cases)
        EXPECT_EQ(Lookup(c.languageIndex, c.externalInForce, c.id), c.expected) << c.name;
}

TEST_F(StringLookup, FileInForceWithoutTable) {
    char16_t fallback[16];
    EXPECT_EQ(std::u16string(LookupText(*archive, 0, true, nullptr, 21, fallback, 16)), u"str:21?");
}

TEST(StringLookupWithoutArchive, EveryLookupIsAPlaceholder) {
    // A declared size of 0 leaves no slots: every text shows its placeholder.
    auto archive = std::make_unique<LanguageArchive>();
    char16_t empty[1] = {0};
    LoadArchiveText(empty, 0, archive.get());
    char16_t fallback[32];
    EXPECT_EQ(std::u16string(LookupText(*archive, 1, false, nullptr, 20, fallback, 32)), u"str2:20?");
    EXPECT_EQ(std::u16string(LookupText(*archive, 0, false, nullptr, 0, fallback, 32)), u"str2:0?");
}

TEST_F(StringLookup, PlaceholderIsCutToTheBuffer) {
    struct Cut {
        size_t chars;
        const char16_t* expected;
    };
    const Cut cuts[] = {{1, u""},         {2, u"s"},          {6, u"str2:"},
                        {9, u"str2:255"}, {10, u"str2:255?"}, {11, u"str2:255?"}};
    for (const Cut& cut : cuts) {
        std::vector<char16_t> buffer(cut.chars + 4, u'#');
        const char16_t* got = LookupText(*archive, 0, false, external, 255, buffer.data(), cut.chars);
        EXPECT_EQ(std::u16string(got), cut.expected) << cut.chars;
        for (size_t i = cut.chars; i < buffer.size(); i++)
            EXPECT_EQ(buffer[i], u'#') << "write past " << cut.chars;
    }
    char16_t untouched = u'#';
    const char16_t* got = LookupText(*archive, 0, false, external, 255, &untouched, 0);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(untouched, u'#');
    ASSERT_NE(LookupText(*archive, 0, false, external, 255, nullptr, 64), nullptr);
}

}  // namespace
