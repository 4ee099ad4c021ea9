#include "base/core/crc32.h"

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    // The byte table is built on the stack at each call (2,048 steps): the archive's check at start-up
    // runs over some 100,000 bytes and a static table would cost the exe a kilobyte.
    uint32_t table[256];
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t c = n;
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        table[n] = c;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
