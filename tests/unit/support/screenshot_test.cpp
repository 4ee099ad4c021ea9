// The PNG writer of the test screenshots, against files made by Python's zlib and struct modules.
#include "screenshot.h"

#include <gtest/gtest.h>

namespace {

// zlib.compress(rows, 0) gives the same stream for so small a picture: one final stored block.
TEST(PngTest, SmallPictureIsByteForByteAValidPng) {
    uint32_t const pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    std::vector<uint8_t> const expected = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xFD, 0xD4, 0x9A, 0x73, 0x00,
        0x00, 0x00, 0x19, 0x49, 0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x0E, 0x00, 0xF1, 0xFF, 0x00, 0xFF, 0x00,
        0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0xEE, 0x05, 0xFB, 0xDE, 0xDD,
        0xEC, 0x2B, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(expected, EncodePng(2, 2, pixels));
}

// 160 x 150 pixels are 72,150 bytes of rows: a full stored block of 65,535 and a last one of 6,615.
// The checksums were computed by zlib.adler32 and zlib.crc32 over the same rows and chunk.
TEST(PngTest, PictureLargerThanOneStoredBlockSplitsAndSumsCorrectly) {
    int const width = 160, height = 150;
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(uint32_t((x * 7 + y * 3) & 255) << 16 | uint32_t((x * y) & 255) << 8 |
                             uint32_t((x + y * 11) & 255));
    std::vector<uint8_t> const png = EncodePng(width, height, pixels.data());
    ASSERT_EQ(72223u, png.size());
    size_t const stream = 8 + 25 + 8;  // signature, IHDR chunk, IDAT length and type
    EXPECT_EQ((std::vector<uint8_t>{0x78, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00}),
              std::vector<uint8_t>(png.begin() + stream, png.begin() + stream + 7));
    size_t const second = stream + 2 + 5 + 65535;
    EXPECT_EQ((std::vector<uint8_t>{0x01, 0xD7, 0x19, 0x28, 0xE6}),
              std::vector<uint8_t>(png.begin() + second, png.begin() + second + 5));
    EXPECT_EQ((std::vector<uint8_t>{0x91, 0x8F, 0xF3, 0x27, 0x57, 0x1F, 0x88, 0xD8}),
              std::vector<uint8_t>(png.end() - 20, png.end() - 12))
        << "the Adler-32 of the rows, then the CRC-32 of the IDAT chunk";
}

}  // namespace
