#include "base/core/crc32.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

uint32_t Crc(const std::string& bytes, uint32_t crc = 0) {
    return Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), crc);
}

// Check values of CRC-32 as zip, PNG and Ethernet use it: "123456789" is the catalogue's check
// value, the sentence and "hello" as Python's zlib.crc32 gives them.
TEST(Crc32, KnownValues) {
    EXPECT_EQ(0u, Crc(""));
    EXPECT_EQ(0u, Crc32(nullptr, 0));
    EXPECT_EQ(0xCBF43926u, Crc("123456789"));
    EXPECT_EQ(0x414FA339u, Crc("The quick brown fox jumps over the lazy dog"));
    EXPECT_EQ(0x3610A686u, Crc("hello"));
    EXPECT_EQ(0xD202EF8Du, Crc(std::string(1, '\0')));
}

TEST(Crc32, InPiecesEachContinuingFromTheLast) {
    std::string const text = "The quick brown fox jumps over the lazy dog";
    for (size_t piece : {size_t(1), size_t(7), size_t(40)}) {
        uint32_t crc = 0;
        for (size_t at = 0; at < text.size(); at += piece)
            crc = Crc(text.substr(at, std::min(piece, text.size() - at)), crc);
        EXPECT_EQ(0x414FA339u, crc) << "pieces of " << piece;
    }
}

}  // namespace
