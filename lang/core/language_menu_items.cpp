#include "lang/core/language_menu_items.h"

#include "base/core/text.h"

bool IsListedLanguage(const LanguageArchive& archive, int slot) {
    return slot >= 0 && slot < archive.languageCount && slot < kMaxLanguageSlots &&
           TextLength(archive.slotName[slot]) > 5;
}

void FormatLanguageItem(const LanguageArchive& archive, int slot, GrowingText* out) {
    out->Clear();
    if (slot < 0 || slot >= kMaxLanguageSlots) return;
    out->AppendDecimal(slot);
    out->AppendAscii(".) ");
    out->Append(archive.slotName[slot]);
    out->AppendAscii(" | ");
    out->AppendDecimal(archive.percent[slot]);
    out->AppendAscii(" %");
}

int ChosenLanguage(int command) {
    // Only slots 0 to 47 exist, so only the commands 10 to 57 choose one.
    int const slot = command - kChooseLanguageCommand;
    return slot >= 0 && slot < kMaxLanguageSlots ? slot : -1;
}
