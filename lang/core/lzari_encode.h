#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Build-time only (the exe never links it): payload = 4-byte little-endian size + LZARI stream, as
// LzariDecoder reads it back. The same input always gives the same bytes.
std::vector<uint8_t> LzariEncode(const uint8_t* data, size_t size);
