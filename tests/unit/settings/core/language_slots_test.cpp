#include "settings/core/language_slots.h"

#include <gtest/gtest.h>

namespace {

// Worked examples: primary language values of winnt.h and the slots of the shipped archive
// (00-german.txt, 01-english.txt, ...).
TEST(LanguageSlots, UsersLanguageChoosesItsSlot) {
    struct {
        const char* language;
        unsigned primary;
        int slot;
    } const cases[] = {
        {"German", 0x07, 0},
        {"English", 0x09, 1},
        {"Korean", 0x12, 2},
        {"Japanese", 0x11, 4},
        {"Chinese", 0x04, 8},
        {"Portuguese", 0x16, 9},
        {"Frisian", 0x62, 12},
        {"Dutch", 0x13, 16},
        {"Vietnamese", 0x2A, 18},
        {"Afrikaans", 0x36, 22},
        {"Filipino", 0x64, 29},
        {"Hungarian", 0x0E, 33},
        {"Serbian, Croatian, Bosnian", 0x1A, 34},
        {"Greek: no slot of its own", 0x08, 1},
        {"LANG_NEUTRAL", 0x00, 1},
        {"the largest primary language value", 0x3FF, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.slot, AutomaticLanguageIndex(c.primary)) << c.language;
}

// Every named slot but English and the two further Spanish translations is some language's own,
// and no two languages share a slot.
TEST(LanguageSlots, EachSlotBelongsToOneLanguage) {
    int users[35] = {};
    for (unsigned primary = 0; primary < 0x400; ++primary) {
        int const slot = AutomaticLanguageIndex(primary);
        ASSERT_GE(slot, 0);
        ASSERT_LT(slot, 35);
        ++users[slot];
    }
    for (int slot = 0; slot < 35; ++slot) {
        if (slot == 1) continue;
        EXPECT_EQ(slot == 17 || slot == 21 ? 0 : 1, users[slot]) << "slot " << slot;
    }
}

}  // namespace
