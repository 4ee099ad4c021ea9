#pragma once
#include <stdint.h>

// A vertical colour gradient, row by row. Colours are 0x00BBGGRR.

// The colour of row `row` of a gradient `height` rows high that starts with `top` in row 0 and runs
// toward `bottom`: each channel is top + row * (bottom - top) / height, the division truncating
// toward zero, kept to 8 bits. A height of 0 or less gives `top`.
uint32_t GradientRowColour(uint32_t top, uint32_t bottom, int row, int height);

// Calls paintRow(row, colour) for the rows 0 to height - 1, top first; nothing when height <= 0.
template <typename PaintRow>
void ForEachGradientRow(uint32_t top, uint32_t bottom, int height, PaintRow paintRow) {
    for (int row = 0; row < height; ++row) paintRow(row, GradientRowColour(top, bottom, row, height));
}
