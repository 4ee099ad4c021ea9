#include "theme/core/gradient.h"

namespace {

int Channel(uint32_t colour, int shift) {
    return int((colour >> shift) & 0xFF);
}

}  // namespace

uint32_t GradientRowColour(uint32_t top, uint32_t bottom, int row, int height) {
    if (height <= 0) return top & 0xFFFFFF;
    uint32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int const from = Channel(top, shift);
        // 64-bit: row and the difference (up to 255) must not overflow for any int height.
        int const value = from + int(int64_t(row) * (Channel(bottom, shift) - from) / height);
        colour |= uint32_t(value & 0xFF) << shift;
    }
    return colour;
}
