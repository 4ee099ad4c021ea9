// Hostile archives: the input is tried as a whole executable file (markers searched) and as a bare
// payload, decoded, split, parsed and looked up. Any crash, hang or sanitizer report is a bug.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "lang/core/language_archive.h"
#include "lang/core/lzari.h"
#include "lang/core/string_lookup.h"

namespace {

// Four turns of the decoder's ring: enough to reach every state of its window (halving the model
// needs some 32,000 symbols and is covered by the unit tests against the published decoder), small
// enough to keep the fuzzer at hundreds of runs a second under the sanitizers. Whole texts reach
// the splitter directly, undecoded, below.
constexpr size_t kDecodeCap = 16 * 1024;

void CheckInside(const char16_t* p, const char16_t* begin, size_t units) {
    if (p && (p < begin || p > begin + units)) abort();
}

void LoadAndLookUp(char16_t* text, size_t units) {
    static LanguageArchive* archive = new LanguageArchive;
    LoadArchiveText(text, units, archive);
    if (archive->languageCount < 0 || archive->languageCount > kMaxLanguageSlots) abort();
    for (int k = 0; k < kProductKeyCount; k++) CheckInside(archive->product[k], text, units);
    for (int slot = 0; slot < archive->languageCount; slot++) {
        CheckInside(archive->slotName[slot], text, units);
        for (int id = 0; id < kStringIdCount; id++) CheckInside(archive->table[slot][id], text, units);
        if (archive->percent[slot] < 0 || archive->percent[slot] > 100) abort();
    }

    // A language file goes through the same section parser; use slot 0's table as one.
    const char16_t* const* external = archive->languageCount > 0 ? archive->table[0] : nullptr;
    char16_t fallback[32];
    const int languages[] = {-1, 0, 1, 2, 47, 48};
    const int ids[] = {-1, 0, 1, 20, 254, 255};
    for (int language : languages) {
        for (int id : ids) {
            for (bool externalInForce : {false, true}) {
                const char16_t* got =
                    LookupText(*archive, language, externalInForce, external, id, fallback, 32);
                if (!got) abort();
                volatile char16_t first = got[0];
                (void)first;
            }
        }
    }
}

void DecodeAndLoad(const uint8_t* payload, size_t size) {
    uint32_t declared = ReadDeclaredSize(payload, size);
    size_t capacity = declared < kDecodeCap ? declared : kDecodeCap;
    // capacity + 10 bytes as the exe allocates; zeroed, so the text is terminated after its units.
    std::vector<char16_t> text((capacity + 10) / 2, 0);
    LzariDecoder decoder;
    if (decoder.Decode(payload, size, reinterpret_cast<uint8_t*>(text.data()), capacity) != declared) abort();
    LoadAndLookUp(text.data(), capacity / 2);
}

std::vector<char16_t> AsUtf16(const uint8_t* data, size_t size) {
    std::vector<char16_t> text(size / 2 + 1, 0);
    for (size_t i = 0; i < size / 2; i++) text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t offset = 0;
    size_t payloadSize = 0;
    if (FindArchivePayload(data, size, &offset, &payloadSize)) {
        if (offset + payloadSize > size) abort();
        DecodeAndLoad(data + offset, payloadSize);
    }
    DecodeAndLoad(data, size);

    // The input as decoded text, so that the fuzzer steers the splitter directly.
    std::vector<char16_t> text = AsUtf16(data, size);
    LoadAndLookUp(text.data(), size / 2);

    // The section parser alone, as it reads a user's language file.
    text = AsUtf16(data, size);
    const char16_t* table[kStringIdCount];
    ParseSection(text.data(), table);
    for (const char16_t* entry : table) CheckInside(entry, text.data(), size / 2);
    return 0;
}
