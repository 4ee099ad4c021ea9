#include "base/core/growing_text.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "base/core/text.h"

GrowingText::~GrowingText() {
    free(data_);
}

char16_t* GrowingText::MutableData() {
    if (!data_ && !Reserve(0)) return nullptr;
    return data_;
}

bool GrowingText::Reserve(size_t units) {
    if (failed_) return false;
    size_t const limit = SIZE_MAX / sizeof(char16_t) / 2;
    if (units > limit - length_ - 1) {
        failed_ = true;
        return false;
    }
    size_t const needed = length_ + units + 1;
    if (needed <= capacity_) return true;
    size_t capacity = capacity_ < 64 ? 64 : capacity_;
    while (capacity < needed) capacity = capacity <= limit / 2 ? capacity * 2 : needed;
    void* const grown = realloc(data_, capacity * sizeof(char16_t));
    if (!grown) {
        failed_ = true;
        return false;
    }
    data_ = static_cast<char16_t*>(grown);
    capacity_ = capacity;
    data_[length_] = 0;
    return true;
}

void GrowingText::Grow(size_t units) {
    if (!data_ || length_ + units >= capacity_) return;
    length_ += units;
    data_[length_] = 0;
}

void GrowingText::Append(const char16_t* text, size_t units) {
    if (!text || !Reserve(units)) return;
    memcpy(data_ + length_, text, units * sizeof(char16_t));
    Grow(units);
}

void GrowingText::Append(const char16_t* text) {
    Append(text, TextLength(text));
}

void GrowingText::AppendAscii(const char* text) {
    size_t units = 0;
    while (text && text[units]) units++;
    if (!Reserve(units)) return;
    for (size_t i = 0; i < units; i++) data_[length_ + i] = char16_t(uint8_t(text[i]));
    Grow(units);
}

void GrowingText::AppendDecimal(int value) {
    char16_t digits[kDecimalChars];
    size_t const units = FormatDecimal(value, digits);
    Append(digits, units);
}

void GrowingText::Clear() {
    length_ = 0;
    failed_ = false;
    if (data_) data_[0] = 0;
}

void GrowingText::Swap(GrowingText& other) {
    GrowingText& a = *this;
    char16_t* const data = a.data_;
    size_t const length = a.length_;
    size_t const capacity = a.capacity_;
    bool const failed = a.failed_;
    a.data_ = other.data_;
    a.length_ = other.length_;
    a.capacity_ = other.capacity_;
    a.failed_ = other.failed_;
    other.data_ = data;
    other.length_ = length;
    other.capacity_ = capacity;
    other.failed_ = failed;
}
