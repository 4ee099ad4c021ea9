#pragma once
#include <stddef.h>
#include <stdint.h>

#include <vector>

// The input as UTF-16LE units, as the program holds texts, with a terminating zero behind them (an
// odd last byte is dropped).
inline std::vector<char16_t> AsUtf16(const uint8_t* data, size_t size) {
    std::vector<char16_t> text(size / 2 + 1, 0);
    for (size_t i = 0; i < size / 2; i++) text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    return text;
}
