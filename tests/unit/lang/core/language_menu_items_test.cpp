#include "lang/core/language_menu_items.h"

#include <string>

#include <gtest/gtest.h>

#include "shipped_archive.h"

namespace {

TEST(LanguageMenuItems, ShippedArchiveListsThirtyFiveLanguages) {
    ShippedArchive shipped;
    ASSERT_NO_FATAL_FAILURE(LoadShippedArchive(&shipped));
    const LanguageArchive& a = *shipped.archive;
    ASSERT_EQ(a.languageCount, 36);
    int listed = 0;
    for (int slot = 0; slot < a.languageCount; slot++) listed += IsListedLanguage(a, slot);
    EXPECT_EQ(listed, 35);
    EXPECT_FALSE(IsListedLanguage(a, 35)) << "the trailing blank lines have no name";
    GrowingText item;
    FormatLanguageItem(a, 1, &item);
    EXPECT_EQ(std::u16string(item.Data()), u"1.) English\tEnglisch | 100 %");
    FormatLanguageItem(a, 34, &item);
    EXPECT_EQ(std::u16string(item.Data()), u"34.) Bosnian\tBosanski / Hrvatski / Srpski | 100 %");
}

TEST(LanguageMenuItems, NamesOfSixCharactersAndMoreAreListed) {
    static LanguageArchive a;
    a.languageCount = 4;
    a.slotName[0] = u"Welsh";
    a.slotName[1] = u"Polski";
    a.slotName[2] = nullptr;
    a.slotName[3] = u"";
    a.percent[1] = 57;
    EXPECT_FALSE(IsListedLanguage(a, 0));
    EXPECT_TRUE(IsListedLanguage(a, 1));
    EXPECT_FALSE(IsListedLanguage(a, 2));
    EXPECT_FALSE(IsListedLanguage(a, 3));
    EXPECT_FALSE(IsListedLanguage(a, 4)) << "beyond the language count";
    EXPECT_FALSE(IsListedLanguage(a, -1));
    GrowingText item;
    FormatLanguageItem(a, 1, &item);
    EXPECT_EQ(std::u16string(item.Data()), u"1.) Polski | 57 %");
}

TEST(LanguageMenuItems, CommandsChooseSlotsZeroToFortySeven) {
    struct {
        int command;
        int slot;
    } const cases[] = {{0, -1}, {9, -1}, {10, 0}, {11, 1}, {57, 47}, {58, -1}, {1000, -1}, {1001, -1}};
    for (const auto& c : cases) EXPECT_EQ(ChosenLanguage(c.command), c.slot) << c.command;
}

}  // namespace
