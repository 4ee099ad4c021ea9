// Hostile language files: the bytes are decoded (UTF-16 or UTF-8 after their marks, UTF-8 when all
// bytes are, otherwise through a double-byte stand-in for the ANSI code page), parsed, looked up
// and reported on. Any crash, hang
// or sanitizer report is a bug.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "base/core/growing_text.h"
#include "base/core/text.h"
#include "lang/core/language_archive.h"
#include "lang/core/language_file.h"
#include "lang/core/string_lookup.h"

namespace {

// Lead bytes 0x81 to 0x9F and 0xE0 to 0xFC take the next byte along, as code page 932 does; a
// lead byte at the very end becomes '?'. Honours outChars like the system's conversion.
size_t ConvertDoubleByte(const uint8_t* bytes, size_t size, char16_t* out, size_t outChars) {
    size_t units = 0;
    for (size_t i = 0; i < size; i++) {
        bool const lead = (bytes[i] >= 0x81 && bytes[i] <= 0x9F) || (bytes[i] >= 0xE0 && bytes[i] <= 0xFC);
        char16_t c = bytes[i];
        if (lead && i + 1 < size) {
            c = char16_t(bytes[i] << 8 | bytes[i + 1]);
            i++;
        } else if (lead) {
            c = u'?';
        }
        if (out) {
            if (units == outChars) return units;
            out[units] = c;
        }
        units++;
    }
    return units;
}

void CheckInside(const char16_t* p, const GrowingText& text) {
    if (p && (p < text.Data() || p > text.Data() + text.Length())) abort();
}

// English-like reference texts, one of them empty (present, yet never counted).
const char16_t* const* Reference() {
    static const char16_t* table[kStringIdCount];
    static bool made = false;
    if (!made) {
        const int ids[] = {0, 20, 21, 22, 25, 26, 27, 28, 30, 31, 40, 41, 42, 43, 47, 51, 60, 61, 90, 97};
        for (int id : ids) table[id] = u"text";
        table[254] = u"";
        made = true;
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GrowingText text;
    LanguageFileContent const decoded = DecodeLanguageFile(data, size, ConvertDoubleByte, &text);
    if (decoded != LanguageFileContent::kText) {
        if (decoded == LanguageFileContent::kEmpty && size != 0) abort();
        return 0;
    }
    if (text.Length() == 0 || text.Data()[text.Length() - 1] != u'\n') abort();
    if (TextLength(text.Data()) != text.Length()) abort();
    // Every carriage return is part of a CR LF: one alone has become a line end.
    for (size_t i = 0; i < text.Length(); i++)
        if (text.Data()[i] == u'\r' && text.Data()[i + 1] != u'\n') abort();

    const char16_t* table[kStringIdCount];
    ParseSection(text.MutableData(), table);
    for (const char16_t* entry : table) CheckInside(entry, text);

    GrowingText report;
    BuildMissingTextReport(Reference(), table, &report);
    if (report.Length() == 0) abort();
    // The file as its own reference: every text it has is present, so nothing is missing.
    BuildMissingTextReport(table, table, &report);
    if (!report.Failed() && report.Data()[report.Length() - 1] != u'%' && report.Data()[0] != u'T') abort();

    static LanguageArchive archive;
    static PlaceholderStore placeholders;
    int const ids[] = {-1, 0, 20, 254, 255};
    for (int id : ids) {
        const char16_t* got = LookupText(archive, 1, true, table, id, &placeholders);
        if (!got) abort();
    }

    // The parsed text (lines cut at zeros) as a reference section: whatever it holds is copied whole.
    GrowingText content;
    BuildTranslationTemplate(table[25], table[19], table[0], &content);
    if (content.Data()[0] != u'\xFEFF') abort();
    return 0;
}
