#include "base/core/bounded_text.h"

#include "base/core/text.h"

BoundedText::BoundedText(char16_t* out, size_t capacity) : out_(out), capacity_(out ? capacity : 0) {
    if (capacity_) out_[0] = 0;
}

void BoundedText::Put(char16_t c) {
    if (cut_) return;
    if (length_ + 1 >= capacity_) return Cut();
    out_[length_++] = c;
    out_[length_] = 0;
}

void BoundedText::Put(const char16_t* text) {
    for (; text && *text && !cut_; ++text) Put(*text);
}

void BoundedText::PutDecimal(int value) {
    char16_t digits[kDecimalChars];
    FormatDecimal(value, digits);
    Put(digits);
}

void BoundedText::PutHex(int value) {
    static char16_t const kHexDigits[] = u"0123456789ABCDEF";
    char16_t digits[8];
    int n = 0;
    unsigned v = unsigned(value);
    do digits[n++] = kHexDigits[v & 0xF];
    while ((v >>= 4) != 0);
    if (n < 2) digits[n++] = u'0';
    while (n) Put(digits[--n]);
}

void BoundedText::Cut() {
    cut_ = true;
    if (length_ && IsHighSurrogate(out_[length_ - 1])) out_[--length_] = 0;
}
