#include "theme/core/gradient.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

namespace {

uint32_t const kRebarTop = 0x404040;  // RGB(64, 64, 64)
uint32_t const kBlack = 0;

std::vector<uint32_t> Rows(uint32_t top, uint32_t bottom, int height) {
    std::vector<uint32_t> rows;
    ForEachGradientRow(top, bottom, height, [&](int row, uint32_t colour) {
        EXPECT_EQ(int(rows.size()), row) << "rows come top first, one by one";
        rows.push_back(colour);
    });
    return rows;
}

TEST(Gradient, RowsPerHeight) {
    struct {
        uint32_t top, bottom;
        int height;
        std::vector<uint32_t> rows;
    } const cases[] = {
        {kRebarTop, kBlack, -1, {}},
        {kRebarTop, kBlack, 0, {}},
        {kRebarTop, kBlack, 1, {0x404040}},  // a one-pixel rebar: a single row of the top colour
        {kRebarTop, kBlack, 2, {0x404040, 0x202020}},
        // 64 - 64/3 = 64 - 21.3 and 64 - 128/3 = 64 - 42.7, truncated toward zero: 43 and 22.
        {kRebarTop, kBlack, 3, {0x404040, 0x2B2B2B, 0x161616}},
        // Channels apart, one rising and one falling: red 0 + 255 i / 4, green 200 - 100 i / 4.
        {0x0AC800, 0x0A64FF, 4, {0x0AC800, 0x0AAF3F, 0x0A967F, 0x0A7DBF}},
        // Only the colour bits count.
        {0xFF404040, 0xFF000000, 2, {0x404040, 0x202020}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rows, Rows(c.top, c.bottom, c.height)) << "height " << c.height;
}

TEST(Gradient, RebarRowIsGrey64MinusTheFloorOf64iOverN) {
    for (int height : {5, 63, 64, 65, 128, 700}) {
        std::vector<uint32_t> const rows = Rows(kRebarTop, kBlack, height);
        ASSERT_EQ(size_t(height), rows.size());
        for (int i = 0; i < height; ++i) {
            uint32_t const grey = uint32_t(64 - 64 * i / height);
            ASSERT_EQ(grey | grey << 8 | grey << 16, rows[size_t(i)]) << "row " << i << " of " << height;
        }
    }
}

TEST(Gradient, TruncatesTowardZeroNotDown) {
    // Row 1 of 128: 64 - 64/128 = 64 - 0.5, which truncates to 64 (rounding down would give 63).
    EXPECT_EQ(0x404040u, GradientRowColour(kRebarTop, kBlack, 1, 128));
    // Rising: 0 + 255/128 = 1.99, truncated to 1.
    EXPECT_EQ(0x010101u, GradientRowColour(kBlack, 0xFFFFFF, 1, 128));
}

TEST(Gradient, TallBandsDoNotOverflow) {
    EXPECT_EQ(0x010101u, GradientRowColour(kRebarTop, kBlack, 999999, 1000000));
    EXPECT_EQ(0xFEFEFEu, GradientRowColour(kBlack, 0xFFFFFF, INT_MAX - 1, INT_MAX));
}

}  // namespace
