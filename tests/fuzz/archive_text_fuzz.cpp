// Hostile decoded texts: the input is split into sections, parsed into tables and looked up, as the
// loader does with a decoded archive, and parsed alone as a language file of the user's. Every
// pointer stays inside the text; every lookup gives a text. Any crash, hang or sanitizer report is
// a bug. What is kept of a slot fits into the room the exe gives it and answers its lookups as the
// whole archive does.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "fuzz_input.h"
#include "lang/core/language_archive.h"
#include "lang/core/string_lookup.h"

namespace {

void CheckInside(const char16_t* p, const char16_t* begin, size_t units) {
    if (p && (p < begin || p > begin + units)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LanguageArchive* archive = new LanguageArchive;
    static PlaceholderStore* placeholders = new PlaceholderStore;
    static LanguageArchive* kept = new LanguageArchive;
    std::vector<char16_t> text = AsUtf16(data, size);
    size_t const units = size / 2;
    LoadArchiveText(text.data(), units, archive);
    if (archive->languageCount < 0 || archive->languageCount > kMaxLanguageSlots) abort();
    for (int k = 0; k < kProductKeyCount; k++) CheckInside(archive->product[k], text.data(), units);
    for (int slot = 0; slot < archive->languageCount; slot++) {
        CheckInside(archive->slotName[slot], text.data(), units);
        for (int id = 0; id < kStringIdCount; id++) CheckInside(archive->table[slot][id], text.data(), units);
        if (archive->percent[slot] < 0 || archive->percent[slot] > 100) abort();
    }

    // The section parser alone, as it reads a user's language file; its table is then the
    // external one of the lookups.
    std::vector<char16_t> file = AsUtf16(data, size);
    const char16_t* table[kStringIdCount];
    ParseSection(file.data(), table);
    for (const char16_t* entry : table) CheckInside(entry, file.data(), units);

    const int languages[] = {-1, 0, 1, 2, 47, 48};
    const int ids[] = {-1, 0, 1, 20, 254, 255};
    for (int language : languages) {
        memset(kept, 0, sizeof *kept);
        std::vector<char16_t> keptText(units + 1);
        if (KeepInUse(*archive, language, kept, keptText.data(), keptText.size()) > keptText.size()) abort();
        for (int id = 0; id < kStringIdCount; id++) {
            const char16_t* a = LookupText(*archive, language, false, nullptr, id, placeholders);
            const char16_t* b = LookupText(*kept, language, false, nullptr, id, placeholders);
            while (*a && *a == *b) a++, b++;
            if (*a != *b) abort();
        }
    }
    for (int language : languages) {
        for (int id : ids) {
            for (bool externalInForce : {false, true}) {
                const char16_t* got =
                    LookupText(*archive, language, externalInForce, table, id, placeholders);
                if (!got) abort();
                volatile char16_t first = got[0];
                (void)first;
            }
        }
    }
    return 0;
}
