#pragma once
#include <stddef.h>
#include <stdint.h>

#include "base/core/growing_text.h"

// A translator's language file (lines "ID=text", as in a language section of the archive), the
// report of how complete it is, and the translation template a translator starts from.

// Far above any real language file (the template is under 4 KB): a larger file is refused
// before it is read, so a wrong choice in the open dialog cannot freeze the program.
constexpr size_t kMaxLanguageFileBytes = 4u << 20;

// The platform's conversion from the ANSI code page: converts size bytes into out (room for
// outChars units) and returns the units written; with out null, returns the units needed.
using AnsiToUtf16 = size_t (*)(const uint8_t* bytes, size_t size, char16_t* out, size_t outChars);

// What the bytes of a language file held.
enum class LanguageFileContent {
    kText,       // decoded into the text
    kNoMemory,   // memory ran out while decoding
    kEmpty,      // not a single byte
    kMarkOnly,   // a byte-order mark and nothing behind it
    kBigEndian,  // UTF-16 big-endian (the mark 0xFE 0xFF), which the program does not read
};

// The text of a language file's bytes: UTF-16 little-endian after the mark 0xFF 0xFE; UTF-8 after
// the mark 0xEF 0xBB 0xBF, or without a mark when the bytes are well-formed UTF-8; otherwise the
// ANSI code page through convert, converted whole so that no character of several bytes is cut.
// The text ends at its first zero; a carriage return alone ends a line as a line feed does, and
// the text always ends with a line feed, so that the last line counts too.
LanguageFileContent DecodeLanguageFile(const uint8_t* bytes, size_t size, AnsiToUtf16 convert,
                                       GrowingText* text);

// The report shown after a file is loaded: "%d %%" (the share of the reference texts the file
// has), then, when some are missing, "\n\nmiss:\n" and the missing IDs: the first nine as
// "%d=%s\n" with the reference text, then "...and...\n" and "%d," for each further one. A text
// that is present but empty counts as missing.
void BuildMissingTextReport(const char16_t* const* reference, const char16_t* const* table, GrowingText* out);

// The translation template: byte-order mark, the translator request (product string 25, escapes
// already expanded), the subject line with the name and version (product string 19), the lines to
// fill in, and the reference section as stored in the archive; absent texts contribute nothing.
void BuildTranslationTemplate(const char16_t* request, const char16_t* nameVersion,
                              const char16_t* referenceSection, GrowingText* out);
