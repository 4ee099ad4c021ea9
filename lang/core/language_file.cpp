#include "lang/core/language_file.h"

#include <string.h>

#include "lang/core/language_archive.h"
#include "lang/core/utf8.h"

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

// A byte that starts no well-formed sequence becomes U+FFFD, as editors show it.
void AppendUtf8(const uint8_t* bytes, size_t size, GrowingText* text) {
    // Never more units than bytes: four bytes make at most a surrogate pair.
    if (!text->Reserve(size)) return;
    char16_t* const out = text->End();
    size_t units = 0;
    for (size_t at = 0; at < size;) {
        char32_t c;
        if (!NextUtf8CodePoint(bytes, size, &at, &c)) {
            c = 0xFFFD;
            at++;
        }
        if (c == 0) break;
        if (c >= 0x10000) {
            out[units++] = char16_t(0xD800 + ((c - 0x10000) >> 10));
            out[units++] = char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out[units++] = char16_t(c);
        }
    }
    text->Grow(units);
}

void AppendAnsi(const uint8_t* bytes, size_t size, AnsiToUtf16 convert, GrowingText* text) {
    if (!convert || size == 0) return;
    size_t const needed = convert(bytes, size, nullptr, 0);
    if (needed == 0 || !text->Reserve(needed)) return;
    size_t const written = convert(bytes, size, text->End(), needed);
    text->Grow(written < needed ? written : needed);
}

// Without a mark the bytes say UTF-8 only if all of them are; a text in an ANSI code page with
// letters beyond ASCII is almost never well-formed UTF-8 by chance.
void AppendUnmarked(const uint8_t* bytes, size_t size, AnsiToUtf16 convert, GrowingText* text) {
    const void* const zero = memchr(bytes, 0, size);
    if (zero) size = size_t(static_cast<const uint8_t*>(zero) - bytes);
    if (IsValidUtf8(bytes, size))
        AppendUtf8(bytes, size, text);
    else
        AppendAnsi(bytes, size, convert, text);
}

// Old Mac editors end lines with a carriage return alone.
void EndLinesWithLineFeeds(GrowingText* text) {
    char16_t* const data = text->MutableData();
    if (!data) return;
    for (size_t i = 0; i < text->Length(); i++)
        if (data[i] == u'\r' && data[i + 1] != u'\n') data[i] = u'\n';
}

bool StartsWith(const uint8_t* bytes, size_t size, const char* mark, size_t markSize) {
    return size >= markSize && memcmp(bytes, mark, markSize) == 0;
}

}  // namespace

LanguageFileContent DecodeLanguageFile(const uint8_t* bytes, size_t size, AnsiToUtf16 convert,
                                       GrowingText* text) {
    text->Clear();
    if (!bytes || size == 0) return LanguageFileContent::kEmpty;
    if (StartsWith(bytes, size, "\xEF\xBB\xBF", 3)) {
        if (size == 3) return LanguageFileContent::kMarkOnly;
        AppendUtf8(bytes + 3, size - 3, text);
    } else if (StartsWith(bytes, size, "\xFF\xFE", 2)) {
        if (size < 4) return LanguageFileContent::kMarkOnly;
        AppendUtf16Le(bytes + 2, (size - 2) / 2, text);
    } else if (StartsWith(bytes, size, "\xFE\xFF", 2)) {
        return size < 4 ? LanguageFileContent::kMarkOnly : LanguageFileContent::kBigEndian;
    } else {
        AppendUnmarked(bytes, size, convert, text);
    }
    EndLinesWithLineFeeds(text);
    // The section parser drops a last line without a line feed; an editor need not write one.
    size_t const length = text->Length();
    if (length == 0 || text->Data()[length - 1] != u'\n') text->Append(u'\n');
    return text->Failed() ? LanguageFileContent::kNoMemory : LanguageFileContent::kText;
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
