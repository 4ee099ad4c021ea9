// Hostile archives as the exe meets them: the input is a whole executable file (markers, declared
// size, stream, checksum) or, when it holds no archive, a bare payload. It is decoded and checked,
// and loaded when the checksum matches, as the loader does. Any crash, hang or sanitizer report is
// a bug. The decoded texts themselves are archive_text_fuzz's.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "lang/core/language_archive.h"
#include "lang/core/lzari.h"

namespace {

// Whole archives decode in full (the shipped text is some 110 KB), so the long sections, the
// reference copy's cutting and the decoder's model halving are all reached. A larger declared size
// (the loader takes up to 16 MB) is decoded only this far, to keep the runs fast.
constexpr size_t kDecodeCap = 128 * 1024;

// Declared size + 10 bytes as the exe allocates, zeroed.
std::vector<uint8_t> TextBuffer(uint32_t declared) {
    return std::vector<uint8_t>((declared < kDecodeCap ? declared : kDecodeCap) + 10, 0);
}

void DecodePayload(const uint8_t* payload, size_t size) {
    uint32_t const declared = ReadDeclaredSize(payload, size);
    std::vector<uint8_t> text = TextBuffer(declared);
    LzariDecoder decoder;
    if (decoder.Decode(payload, size, text.data(), text.size() - 10) != declared) abort();
    for (size_t i = text.size() - 10; i < text.size(); i++)
        if (text[i] != 0) abort();
}

// The loader's own path; false when the input holds no archive.
bool LoadLikeTheExe(const uint8_t* data, size_t size) {
    ArchiveLocation where;
    if (!LocateArchive(data, size, &where)) return false;
    if (where.payloadOffset + where.payloadSize + kEndMarkerSize + kChecksumSize > size) abort();
    if (where.declaredSize > kMaxDeclaredSize) abort();
    if (where.declaredSize > kDecodeCap) {
        DecodePayload(data + where.payloadOffset, where.payloadSize);
        return true;
    }
    std::vector<uint8_t> text = TextBuffer(where.declaredSize);
    if (DecodeArchive(data, where, text.data())) {
        static LanguageArchive* archive = new LanguageArchive;
        LoadArchiveText(reinterpret_cast<char16_t*>(text.data()), where.declaredSize / 2, archive);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!LoadLikeTheExe(data, size)) DecodePayload(data, size);
    return 0;
}
