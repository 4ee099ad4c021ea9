#include "lang/core/string_lookup.h"

#include "base/core/text.h"

namespace {

// The longest prefix, a sign and ten digits, "?" and the terminator.
static_assert(sizeof "str2:" - 1 + kDecimalChars - 1 + 1 + 1 <= kPlaceholderChars,
              "placeholder slot too small");

const char16_t* FormatPlaceholder(const char* prefix, int id, char16_t* out) {
    size_t n = 0;
    for (; *prefix; prefix++) out[n++] = char16_t(*prefix);
    n += FormatDecimal(id, out + n);
    out[n++] = u'?';
    out[n] = 0;
    return out;
}

// A slot of its own for each ID in 0 to 254; the ring for every other ID. A slot is formatted at
// every lookup, always to the same text, so that the store needs no zeroing: its pages stay
// untouched until a placeholder needs them.
const char16_t* Placeholder(const char* prefix, int id, char16_t (*perId)[kPlaceholderChars],
                            PlaceholderStore* store) {
    char16_t* const slot = id >= 0 && id < kStringIdCount && perId
                               ? perId[id]
                               : store->ring[store->next++ % kPlaceholderRingSize];
    return FormatPlaceholder(prefix, id, slot);
}

}  // namespace

const char16_t* LookupText(const LanguageArchive& archive, int languageIndex, bool externalInForce,
                           const char16_t* const* externalTable, int id, PlaceholderStore* placeholders) {
    if (id >= kStringIdCount) return Placeholder("str2:", id, nullptr, placeholders);
    if (externalInForce) {
        // A language file in force answers alone: what it lacks shows as a placeholder, not English.
        if (id >= 0 && externalTable && externalTable[id]) return externalTable[id];
        return Placeholder("str:", id, placeholders->external, placeholders);
    }
    if (languageIndex >= 0 && languageIndex < kMaxLanguageSlots && languageIndex < archive.languageCount &&
        id >= 0 && archive.table[languageIndex][id])
        return archive.table[languageIndex][id];
    if (id < 0) return Placeholder("str1:", id, nullptr, placeholders);
    if (archive.languageCount > kReferenceSlot && archive.table[kReferenceSlot][id])
        return archive.table[kReferenceSlot][id];
    return Placeholder("str2:", id, placeholders->missing, placeholders);
}
