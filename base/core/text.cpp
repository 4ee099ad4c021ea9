#include "base/core/text.h"

#include <limits.h>
#include <stdint.h>

size_t TextLength(const char16_t* text) {
    size_t length = 0;
    if (text)
        while (text[length]) ++length;
    return length;
}

bool ContainsText(const char16_t* text, const char16_t* word) {
    if (!text || !word) return false;
    if (!*word) return true;
    for (; *text; ++text) {
        const char16_t* t = text;
        const char16_t* w = word;
        while (*t && *w && *t == *w) ++t, ++w;
        if (!*w) return true;
    }
    return false;
}

bool EqualsText(const char16_t* a, const char16_t* b) {
    if (!a || !b) return false;
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

namespace {

bool IsRightToLeftLetter(char16_t c) {
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFC);
}

// Latin, Greek, Cyrillic, the Indic and East Asian scripts: letters that read left to right.
bool IsLeftToRightLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= 0x00C0 && c <= 0x058F && c != 0x00D7 && c != 0x00F7) || (c >= 0x0900 && c <= 0x1FFF) ||
           (c >= 0x3040 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFB1C);
}

}  // namespace

bool ReadsRightToLeft(const char16_t* text) {
    for (; text && *text; ++text) {
        if (IsRightToLeftLetter(*text)) return true;
        if (IsLeftToRightLetter(*text)) return false;
    }
    return false;
}

size_t WithoutAccessKey(const char16_t* text, char16_t* out, size_t chars) {
    if (!out || !chars) return 0;
    size_t const length = TextLength(text);
    size_t cut = length, cutLength = 0;
    for (size_t i = 0; i + 1 < length; ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        bool const suffix = i > 0 && text[i - 1] == u'(' && i + 2 < length && text[i + 2] == u')';
        cut = suffix ? i - 1 : i;
        cutLength = suffix ? 4 : 1;
        break;
    }
    size_t written = 0;
    for (size_t i = 0; i < length && written + 1 < chars; ++i)
        if (i < cut || i >= cut + cutLength) out[written++] = text[i];
    out[written] = 0;
    return written;
}

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

namespace {

// Skips white space and one sign; returns the first digit's position.
const char16_t* SkipToDigits(const char16_t* text, bool* negative) {
    while (IsBlank(*text)) ++text;
    *negative = *text == u'-';
    if (*text == u'+' || *text == u'-') ++text;
    return text;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

int ParseKeyNumber(const char16_t* text) {
    if (!text) return 0;
    bool negative;
    text = SkipToDigits(text, &negative);
    int64_t const limit = negative ? -int64_t(INT_MIN) : int64_t(INT_MAX);
    int64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - u'0');
        if (magnitude > limit) magnitude = limit;
    }
    return int(negative ? -magnitude : magnitude);
}

int ParseSettingNumber(const char16_t* text) {
    if (!text) return 0;
    bool negative;
    text = SkipToDigits(text, &negative);
    unsigned value = 0;
    for (; IsDigit(*text); ++text) value = value * 10u + unsigned(*text - u'0');
    if (negative) value = 0u - value;
    return int(value);
}

size_t FormatDecimal(int value, char16_t* out) {
    // Through unsigned so that INT_MIN has a magnitude.
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    char16_t digits[10];
    int count = 0;
    do digits[count++] = char16_t(u'0' + magnitude % 10);
    while ((magnitude /= 10) != 0);
    size_t length = 0;
    if (value < 0) out[length++] = u'-';
    while (count) out[length++] = digits[--count];
    out[length] = 0;
    return length;
}
