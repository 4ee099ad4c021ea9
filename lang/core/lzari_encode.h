#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Build-time only (the exe never links it): payload = 4-byte little-endian size + LZARI stream,
// bit for bit what the published 1989 encoder writes for the same input.
std::vector<uint8_t> LzariEncode(const uint8_t* data, size_t size);
