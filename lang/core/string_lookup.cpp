#include "lang/core/string_lookup.h"

#include "base/core/text.h"

namespace {

const char16_t* FormatPlaceholder(const char* prefix, int id, char16_t* out, size_t outChars) {
    if (!out || outChars == 0) return u"";
    char16_t digits[kDecimalChars];
    FormatDecimal(id, digits);
    size_t n = 0;
    auto put = [&](char16_t c) {
        if (n + 1 < outChars) out[n++] = c;
    };
    for (; *prefix; prefix++) put(char16_t(*prefix));
    for (const char16_t* d = digits; *d; ++d) put(*d);
    put(u'?');
    out[n] = 0;
    return out;
}

}  // namespace

const char16_t* LookupText(const LanguageArchive& archive, int languageIndex, bool externalInForce,
                           const char16_t* const* externalTable, int id, char16_t* fallback,
                           size_t fallbackChars) {
    if (id >= kStringIdCount) return FormatPlaceholder("str2:", id, fallback, fallbackChars);
    if (externalInForce) {
        // A language file in force answers alone: what it lacks shows as a placeholder, not English.
        if (id >= 0 && externalTable && externalTable[id]) return externalTable[id];
        return FormatPlaceholder("str:", id, fallback, fallbackChars);
    }
    if (languageIndex >= 0 && languageIndex < kMaxLanguageSlots && languageIndex < archive.languageCount &&
        id >= 0 && archive.table[languageIndex][id])
        return archive.table[languageIndex][id];
    if (id < 0) return FormatPlaceholder("str1:", id, fallback, fallbackChars);
    if (archive.languageCount > kReferenceSlot && archive.table[kReferenceSlot][id])
        return archive.table[kReferenceSlot][id];
    return FormatPlaceholder("str2:", id, fallback, fallbackChars);
}
