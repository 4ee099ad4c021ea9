#include "lang/core/language_file.h"

#include <string.h>

#include "lang/core/language_archive.h"

namespace {

int const kListedWithText = 9;  // missing IDs shown with their reference text; the rest by number

void AppendUtf16Le(const uint8_t* bytes, size_t units, GrowingText* text) {
    size_t length = 0;
    while (length < units && (bytes[2 * length] | bytes[2 * length + 1])) length++;
    if (!text->Reserve(length)) return;
    char16_t* const out = text->End();
    for (size_t i = 0; i < length; i++) out[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    text->Grow(length);
}

void AppendAnsi(const uint8_t* bytes, size_t size, AnsiToUtf16 convert, GrowingText* text) {
    if (!convert) return;
    const void* const zero = memchr(bytes, 0, size);
    if (zero) size = size_t(static_cast<const uint8_t*>(zero) - bytes);
    if (size == 0) return;
    size_t const needed = convert(bytes, size, nullptr, 0);
    if (needed == 0 || !text->Reserve(needed)) return;
    size_t const written = convert(bytes, size, text->End(), needed);
    text->Grow(written < needed ? written : needed);
}

}  // namespace

bool DecodeLanguageFile(const uint8_t* bytes, size_t size, AnsiToUtf16 convert, GrowingText* text) {
    text->Clear();
    if (bytes && size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        AppendUtf16Le(bytes + 2, (size - 2) / 2, text);
    else if (bytes)
        AppendAnsi(bytes, size, convert, text);
    // The section parser drops a last line without a line feed; an editor need not write one.
    size_t const length = text->Length();
    if (length == 0 || text->Data()[length - 1] != u'\n') text->Append(u'\n');
    return !text->Failed();
}

void BuildMissingTextReport(const char16_t* const* reference, const char16_t* const* table,
                            GrowingText* out) {
    out->Clear();
    if (CountMatchingTexts(reference, reference) == 0) {
        out->AppendAscii(
            "The file is loaded, but its completeness cannot be measured: the program has no "
            "reference texts to compare it with.");
        return;
    }
    out->AppendDecimal(CompletenessPercent(reference, table));
    out->AppendAscii(" %");
    int missing = 0;
    for (int id = 0; id < kStringIdCount; id++) {
        if (!reference[id] || !reference[id][0] || (table[id] && table[id][0])) continue;
        if (++missing == 1) out->AppendAscii("\n\nmiss:\n");
        if (missing <= kListedWithText) {
            out->AppendDecimal(id);
            out->Append(u'=');
            out->Append(reference[id]);
            out->Append(u'\n');
            continue;
        }
        if (missing == kListedWithText + 1) out->AppendAscii("...and...\n");
        out->AppendDecimal(id);
        out->Append(u',');
    }
}

void BuildTranslationTemplate(const char16_t* request, const char16_t* nameVersion,
                              const char16_t* referenceSection, GrowingText* out) {
    out->Clear();
    out->Append(u'\xFEFF');
    out->AppendAscii("\r\n");
    out->Append(request);
    out->AppendAscii("\r\n!!!! Please don't forget !!!! Write in e-mail subject: Strings for: ");
    out->Append(nameVersion);
    out->AppendAscii("\r\nLanguage:\r\nYour Name 4 Web:\r\n\r\n\r\n");
    out->Append(referenceSection);
    out->AppendAscii("\r\n\r\n");
}
