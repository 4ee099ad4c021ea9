#include "lang/core/utf8.h"

bool NextUtf8CodePoint(const uint8_t* bytes, size_t size, size_t* at, char32_t* codePoint) {
    if (*at >= size) return false;
    uint8_t const lead = bytes[*at];
    size_t length;
    char32_t value;
    char32_t smallest;
    if (lead < 0x80) {
        *codePoint = lead;
        ++*at;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return false;
    }
    if (size - *at < length) return false;
    for (size_t k = 1; k < length; ++k) {
        uint8_t const next = bytes[*at + k];
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    *codePoint = value;
    *at += length;
    return true;
}

bool IsValidUtf8(const uint8_t* bytes, size_t size) {
    char32_t codePoint;
    for (size_t at = 0; at < size;)
        if (!NextUtf8CodePoint(bytes, size, &at, &codePoint)) return false;
    return true;
}
