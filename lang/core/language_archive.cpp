#include "lang/core/language_archive.h"

#include <string.h>

#include "base/core/crc32.h"
#include "base/core/text.h"
#include "lang/core/lzari.h"

namespace {

// The markers live in the source scrambled, evaluated at compile time, so no contiguous copy of
// them reaches the object file; a second copy in the exe would be found before the archive's.
template <size_t N>
struct ScrambledMarker {
    uint8_t bytes[N];
};

constexpr uint8_t KeyByte(uint8_t seed, size_t i) {
    return uint8_t(seed + 37 * i + (i >> 2));
}

template <size_t N>
constexpr ScrambledMarker<N - 1> Scramble(const char (&text)[N], uint8_t seed) {
    ScrambledMarker<N - 1> s{};
    for (size_t i = 0; i + 1 < N; i++) s.bytes[i] = uint8_t(uint8_t(text[i]) ^ KeyByte(seed, i));
    return s;
}

constexpr uint8_t kStartSeed = 0x5B;
constexpr uint8_t kEndSeed = 0xC6;
constexpr ScrambledMarker<kStartMarkerSize> kStartScrambled =
    Scramble("\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n", kStartSeed);
constexpr ScrambledMarker<kEndMarkerSize> kEndScrambled =
    Scramble("\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n", kEndSeed);

void Unscramble(const uint8_t* scrambled, size_t size, uint8_t seedValue, uint8_t* out) {
    // A volatile seed keeps the optimiser from folding the result back into a constant.
    volatile uint8_t seed = seedValue;
    for (size_t i = 0; i < size; i++) out[i] = uint8_t(scrambled[i] ^ KeyByte(seed, i));
}

bool FindBytes(const uint8_t* haystack, size_t size, const uint8_t* needle, size_t needleSize, size_t* at) {
    if (size < needleSize) return false;
    for (size_t i = 0; i + needleSize <= size; i++) {
        if (haystack[i] == needle[0] && memcmp(haystack + i, needle, needleSize) == 0) {
            *at = i;
            return true;
        }
    }
    return false;
}

char16_t* FindEquals(char16_t* line) {
    for (; *line; line++)
        if (*line == u'=') return line;
    return nullptr;
}

// Cuts a section into lines in place: each line feed, and a CR right before it, becomes 0. A last
// line without a line feed is not handed on: the format drops it.
template <typename OnLine>
void ForEachLine(char16_t* section, OnLine onLine) {
    char16_t* line = section;
    for (char16_t* p = section; *p; p++) {
        if (*p != u'\n') continue;
        *p = 0;
        if (p != section && p[-1] == u'\r') p[-1] = 0;
        onLine(line);
        line = p + 1;
    }
}

void ExpandEscapes(char16_t* text) {
    char16_t* out = text;
    for (const char16_t* in = text; *in;) {
        if (in[0] == u'\\' && in[1] == u'r') {
            *out++ = u'\r';
            in += 2;
        } else if (in[0] == u'\\' && in[1] == u'n') {
            *out++ = u'\n';
            in += 2;
        } else {
            *out++ = *in++;
        }
    }
    *out = 0;
}

void ParseProductStrings(char16_t* section, LanguageArchive* a) {
    ForEachLine(section, [a](char16_t* line) {
        char16_t* equals = FindEquals(line);
        if (!equals) return;
        int key = ParseKeyNumber(line);
        if (key < 0 || key >= kProductKeyCount) return;
        ExpandEscapes(equals + 1);
        a->product[key] = equals + 1;
    });
}

// Bounded copy of the reference section; a section too long for the buffer keeps its whole lines.
void CopyReference(const char16_t* section, char16_t* out) {
    size_t n = 0;
    while (n < kReferenceCopyChars - 1 && section[n]) n++;
    if (section[n]) {
        size_t wholeLines = n;
        while (wholeLines > 0 && section[wholeLines - 1] != u'\n') wholeLines--;
        if (wholeLines > 0)
            n = wholeLines;
        else if (IsHighSurrogate(section[n - 1]))
            n--;
    }
    memcpy(out, section, n * sizeof *out);
    out[n] = 0;
}

}  // namespace

void BuildStartMarker(uint8_t out[kStartMarkerSize]) {
    Unscramble(kStartScrambled.bytes, kStartMarkerSize, kStartSeed, out);
}

void BuildEndMarker(uint8_t out[kEndMarkerSize]) {
    Unscramble(kEndScrambled.bytes, kEndMarkerSize, kEndSeed, out);
}

bool FindArchivePayload(const uint8_t* file, size_t size, size_t* payloadOffset, size_t* payloadSize) {
    if (!file) return false;
    uint8_t startMarker[kStartMarkerSize];
    uint8_t endMarker[kEndMarkerSize];
    BuildStartMarker(startMarker);
    BuildEndMarker(endMarker);
    size_t start = 0;
    size_t end = 0;
    if (!FindBytes(file, size, startMarker, kStartMarkerSize, &start)) return false;
    if (!FindBytes(file, size, endMarker, kEndMarkerSize, &end)) return false;
    size_t payloadStart = start + kStartMarkerSize;
    if (end < payloadStart) return false;  // would be a negative payload size
    *payloadOffset = payloadStart;
    *payloadSize = end - payloadStart;
    return true;
}

bool LocateArchive(const uint8_t* file, size_t size, ArchiveLocation* where) {
    size_t offset = 0;
    size_t payloadSize = 0;
    if (!FindArchivePayload(file, size, &offset, &payloadSize)) return false;
    size_t const checksumAt = offset + payloadSize + kEndMarkerSize;
    if (size - checksumAt < kChecksumSize) return false;
    uint32_t const declared = ReadDeclaredSize(file + offset, payloadSize);
    if (declared > kMaxDeclaredSize) return false;
    where->payloadOffset = offset;
    where->payloadSize = payloadSize;
    where->declaredSize = declared;
    const uint8_t* const c = file + checksumAt;
    where->checksum = uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16 | uint32_t(c[3]) << 24;
    return true;
}

bool DecodeArchive(const uint8_t* file, const ArchiveLocation& where, uint8_t* text) {
    LzariDecoder decoder;
    decoder.Decode(file + where.payloadOffset, where.payloadSize, text, where.declaredSize);
    return Crc32(text, where.declaredSize) == where.checksum;
}

void ParseSection(char16_t* section, const char16_t* table[kStringIdCount]) {
    for (int id = 0; id < kStringIdCount; id++) table[id] = nullptr;
    if (!section) return;
    ForEachLine(section, [table](char16_t* line) {
        char16_t* equals = FindEquals(line);
        if (!equals) return;
        int key = ParseKeyNumber(line);
        if (key >= 0 && key < kStringIdCount) table[key] = equals + 1;
    });
}

void LoadArchiveText(char16_t* text, size_t units, LanguageArchive* a) {
    if (!a) return;
    memset(a, 0, sizeof *a);
    if (!text) return;
    a->text = text;
    a->units = units;
    text[units] = 0;

    // Positions past the text read as its terminating zero.
    auto at = [text, units](size_t i) { return i < units ? text[i] : char16_t(0); };
    auto clamp = [text, units](size_t i) { return text + (i < units ? i : units); };

    char16_t* productSection = nullptr;
    char16_t* sections[kMaxLanguageSlots] = {};
    int separators = 0;
    for (size_t k = 0; k + 1 < units;) {
        if (text[k] != u'#' || text[k + 1] != u'#') {
            k++;
            continue;
        }
        text[k] = 0;
        separators++;
        size_t next = k + 2;
        if (separators == 1) {
            productSection = clamp(k + 4);  // past "##" and its CR LF
        } else if (separators >= 4 && a->languageCount < kMaxLanguageSlots) {
            int slot = a->languageCount++;
            if (at(k + 2) == u'=') {
                size_t cr = k + 3;
                while (cr < units && text[cr] != u'\r') cr++;
                if (cr < units) {
                    text[cr] = 0;
                    a->slotName[slot] = text + k + 3;
                    sections[slot] = text + cr + 1;  // the LF: an empty first line
                    next = cr + 1;
                } else {
                    sections[slot] = text + units;
                }
            } else {
                sections[slot] = clamp(k + 4);
            }
            a->slotSection[slot] = sections[slot];
        }
        k = next;
    }

    if (a->languageCount > kReferenceSlot) CopyReference(sections[kReferenceSlot], a->referenceCopy);

    for (int slot = 0; slot < a->languageCount; slot++) ParseSection(sections[slot], a->table[slot]);

    // A missing reference slot leaves its table empty: every percentage is then 0.
    for (int slot = 0; slot < a->languageCount; slot++)
        a->percent[slot] = CompletenessPercent(a->table[kReferenceSlot], a->table[slot]);

    if (productSection) ParseProductStrings(productSection, a);
}

size_t KeepInUse(const LanguageArchive& all, int slot, LanguageArchive* kept, char16_t* text,
                 size_t capacity) {
    size_t units = 0;
    // Copies the texts of a table behind those before them; null stays null.
    auto copy = [&units, text, capacity](const char16_t* const* from, int count, const char16_t** to) {
        for (int i = 0; i < count; i++) {
            size_t const n = TextLength(from[i]) + 1;
            if (!from[i] || n > capacity - units) continue;
            to[i] = static_cast<char16_t*>(memcpy(text + units, from[i], n * sizeof(char16_t)));
            units += n;
        }
    };
    copy(all.product, kProductKeyCount, kept->product);
    copy(all.slotName, all.languageCount, kept->slotName);
    if (all.languageCount > kReferenceSlot)
        copy(all.table[kReferenceSlot], kStringIdCount, kept->table[kReferenceSlot]);
    if (slot >= 0 && slot < all.languageCount && slot != kReferenceSlot)
        copy(all.table[slot], kStringIdCount, kept->table[slot]);
    kept->text = text;
    kept->units = units;
    kept->languageCount = all.languageCount;
    memcpy(kept->percent, all.percent, sizeof kept->percent);
    memcpy(kept->referenceCopy, all.referenceCopy, (TextLength(all.referenceCopy) + 1) * sizeof(char16_t));
    return units;
}

int CountMatchingTexts(const char16_t* const* reference, const char16_t* const* table) {
    int count = 0;
    for (int id = 0; id < kStringIdCount; id++)
        if (reference[id] && reference[id][0] && table[id] && table[id][0]) count++;
    return count;
}

int CompletenessPercent(const char16_t* const* reference, const char16_t* const* table) {
    int const referenceCount = CountMatchingTexts(reference, reference);
    // Integer arithmetic: the floating-point H / R * 100 truncates 29 of 50 to 57.
    return referenceCount ? CountMatchingTexts(reference, table) * 100 / referenceCount : 0;
}

const char16_t* ProductString(const LanguageArchive& archive, int key) {
    return key >= 0 && key < kProductKeyCount ? archive.product[key] : nullptr;
}
