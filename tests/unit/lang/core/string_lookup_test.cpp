#include "lang/core/string_lookup.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>

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

    const char16_t* LookupPointer(int languageIndex, bool externalInForce, int id) {
        return LookupText(*archive, languageIndex, externalInForce, external, id, placeholders.get());
    }
    std::u16string Lookup(int languageIndex, bool externalInForce, int id) {
        const char16_t* got = LookupPointer(languageIndex, externalInForce, id);
        return got ? std::u16string(got) : u"<null>";
    }

    std::vector<char16_t> text;
    std::unique_ptr<LanguageArchive> archive = std::make_unique<LanguageArchive>();
    std::unique_ptr<PlaceholderStore> placeholders = std::make_unique<PlaceholderStore>();
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
        {"file in force, INT_MIN ID", 0, true, INT_MIN, u"str:-2147483648?"},
        {"file in force, ID 255", 0, true, 255, u"str2:255?"},
    };
    for (const LookupCase& c : cases)
        EXPECT_EQ(Lookup(c.languageIndex, c.externalInForce, c.id), c.expected) << c.name;
}

TEST_F(StringLookup, FileInForceWithoutTable) {
    EXPECT_EQ(std::u16string(LookupText(*archive, 0, true, nullptr, 21, placeholders.get())), u"str:21?");
}

TEST(StringLookupWithoutArchive, EveryLookupIsAPlaceholder) {
    // A declared size of 0 leaves no slots: every text shows its placeholder.
    auto archive = std::make_unique<LanguageArchive>();
    auto placeholders = std::make_unique<PlaceholderStore>();
    char16_t empty[1] = {0};
    LoadArchiveText(empty, 0, archive.get());
    EXPECT_EQ(std::u16string(LookupText(*archive, 1, false, nullptr, 20, placeholders.get())), u"str2:20?");
    EXPECT_EQ(std::u16string(LookupText(*archive, 0, false, nullptr, 0, placeholders.get())), u"str2:0?");
}

// The colour dialog holds its five help lines at once: each placeholder keeps naming its own ID
// while others are looked up, of every kind.
TEST_F(StringLookup, HeldPlaceholdersKeepTheirOwnIds) {
    struct Held {
        int languageIndex;
        bool externalInForce;
        int id;
        const char16_t* expected;
        const char16_t* pointer = nullptr;
    };
    Held held[] = {
        {1, false, 42, u"str2:42?"}, {1, false, 43, u"str2:43?"},   {1, false, 44, u"str2:44?"},
        {1, false, 45, u"str2:45?"}, {1, false, 46, u"str2:46?"},   {1, true, 42, u"str:42?"},
        {1, true, 20, u"str:20?"},   {1, false, 0, u"str2:0?"},     {1, false, 254, u"str2:254?"},
        {1, false, -1, u"str1:-1?"}, {1, false, 255, u"str2:255?"},
    };
    for (Held& h : held) h.pointer = LookupPointer(h.languageIndex, h.externalInForce, h.id);
    // Many more failed lookups in between, of IDs inside the tables and outside them.
    for (int id = -300; id < 600; id++) Lookup(1, id % 2 == 0, id);
    for (const Held& h : held) {
        if (h.id >= 0 && h.id < kStringIdCount) {
            EXPECT_EQ(std::u16string(h.pointer), h.expected) << h.id;
            // The same placeholder again is the same text in the same place.
            EXPECT_EQ(LookupPointer(h.languageIndex, h.externalInForce, h.id), h.pointer) << h.id;
        }
        EXPECT_EQ(Lookup(h.languageIndex, h.externalInForce, h.id), h.expected);
    }
}

// IDs outside the tables share a ring: the last kPlaceholderRingSize of them stay valid.
TEST_F(StringLookup, OutOfRangePlaceholdersLastForARingOfLookups) {
    std::vector<const char16_t*> pointers;
    for (int i = 0; i < kPlaceholderRingSize; i++) pointers.push_back(LookupPointer(0, false, -1 - i));
    for (int i = 0; i < kPlaceholderRingSize; i++) {
        char expected[32];
        snprintf(expected, sizeof expected, "str1:%d?", -1 - i);
        EXPECT_EQ(std::u16string(pointers[size_t(i)]), std::u16string(expected, expected + strlen(expected)));
    }
}

}  // namespace
