#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>

// Strict UTF-8: decodes the code point at *at and moves *at past it; false for any ill-formed
// sequence (a stray continuation byte, a truncated sequence, an overlong form, a surrogate or a
// value above U+10FFFF), leaving *at where it was.
bool NextUtf8CodePoint(const uint8_t* bytes, size_t size, size_t* at, char32_t* codePoint);

inline bool NextUtf8CodePoint(const std::string& text, size_t* at, char32_t* codePoint) {
    return NextUtf8CodePoint(reinterpret_cast<const uint8_t*>(text.data()), text.size(), at, codePoint);
}

// True when every byte belongs to a well-formed sequence.
bool IsValidUtf8(const uint8_t* bytes, size_t size);
