#pragma once

#include <stddef.h>
#include <stdint.h>

constexpr int kMaxLanguageSlots = 48;
constexpr int kStringIdCount = 255;
constexpr int kProductKeyCount = 128;
constexpr int kReferenceSlot = 1;  // English by position: the fallback and the base of every percentage
// Some 7,000 characters were planned for; the shipped reference section has under 1,500.
constexpr size_t kReferenceCopyChars = 8192;
// The shipped text is about 100 KB. The caller allocates declared size + 10 bytes, so a larger
// declared size is refused as a damaged archive instead of becoming a multi-gigabyte allocation.
constexpr uint32_t kMaxDeclaredSize = 16u << 20;
constexpr size_t kStartMarkerSize = 45;
constexpr size_t kEndMarkerSize = 44;
// The CRC-32 of the decoded text, little-endian, right behind the end marker: outside the archive's
// own bytes, so a damaged stream is found instead of decoding to a silent mix of wrong texts.
constexpr size_t kChecksumSize = 4;

// Tables built from the decoded text; every pointer points into that text, which must outlive them.
struct LanguageArchive {
    char16_t* text;
    size_t units;
    const char16_t* product[kProductKeyCount];  // null: no product string with that key
    int languageCount;
    const char16_t* slotSection[kMaxLanguageSlots];
    const char16_t* slotName[kMaxLanguageSlots];               // null: the slot has no header name
    const char16_t* table[kMaxLanguageSlots][kStringIdCount];  // null: missing; "" is present
    int percent[kMaxLanguageSlots];
    char16_t referenceCopy[kReferenceCopyChars];  // slot 1's raw section, whole lines only
};

// The markers are assembled at run time so that the only copy of each in the exe is the archive's.
void BuildStartMarker(uint8_t out[kStartMarkerSize]);
void BuildEndMarker(uint8_t out[kEndMarkerSize]);

// Payload = the bytes between the first start marker and the first end marker. False when either is
// missing or the end marker begins before the start marker ends.
bool FindArchivePayload(const uint8_t* file, size_t size, size_t* payloadOffset, size_t* payloadSize);

struct ArchiveLocation {
    size_t payloadOffset;
    size_t payloadSize;
    uint32_t declaredSize;  // bytes of decoded text
    uint32_t checksum;      // what Crc32 (base/core/crc32.h) of the decoded text must give
};

// Finds the payload and reads the declared size and the checksum behind the end marker. False when a
// marker or the checksum is missing or the declared size is above kMaxDeclaredSize.
bool LocateArchive(const uint8_t* file, size_t size, ArchiveLocation* where);

// Decodes the located archive into text (declaredSize bytes are written; the caller allocates
// declaredSize + 10). False when the text does not match the checksum: the archive is damaged.
bool DecodeArchive(const uint8_t* file, const ArchiveLocation& where, uint8_t* text);

// Fills table from "key=text" lines, cutting the section into lines in place. A null section leaves
// the table empty; the last line counts only when a line feed ends it.
void ParseSection(char16_t* section, const char16_t* table[kStringIdCount]);

// Splits and parses the decoded text in place. text must hold units + 1 writable units; the last is
// set to 0. Any content is safe: a damaged text only yields fewer or stranger texts.
void LoadArchiveText(char16_t* text, size_t units, LanguageArchive* archive);

// Copies what the program uses until the language changes out of all (a loaded archive) into kept:
// the language count, slot names and percentages, the product strings, the reference copy, and the
// tables of the reference slot and of slot, every text copied into text, one after the other.
// Every other table and every slot section stays null, so kept answers every lookup for slot as
// all does. kept must be all zero. A text that does not fit into the capacity of text is left out:
// none is with all.units + 1 units, as every text is a part of all's text, with its terminator.
// Returns the units of text used.
size_t KeepInUse(const LanguageArchive& all, int slot, LanguageArchive* kept, char16_t* text,
                 size_t capacity);

// The number of string IDs whose text is present and non-empty both in reference and in table;
// with table = reference, the number of reference texts every completeness is measured against.
int CountMatchingTexts(const char16_t* const* reference, const char16_t* const* table);

// The share of the reference texts that table has too, in whole percent (truncated); 0 when the
// reference has no texts.
int CompletenessPercent(const char16_t* const* reference, const char16_t* const* table);

// The product string with the given key, or null if absent or the key is out of range.
const char16_t* ProductString(const LanguageArchive& archive, int key);
