#include "services/core/zip_writer.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/core/crc32.h"

namespace {

uint32_t Crc(const std::string& bytes) {
    return Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

// A whole archive of "hello" as Huepeek.exe, byte by byte against the zip format: local header,
// data, central directory, end record.
TEST(ZipWriter, OneStoredFile) {
    std::string const data = "hello";
    ZipEntry const entry = {"Huepeek.exe", uint32_t(data.size()), Crc(data), 0x6000, 0x5A21};
    std::vector<uint8_t> zip(kZipLocalHeaderBytes + 11);
    ASSERT_EQ(zip.size(), ZipLocalHeader(entry, zip.data(), zip.size()));
    zip.insert(zip.end(), data.begin(), data.end());
    size_t const directoryAt = zip.size();
    zip.resize(directoryAt + kZipDirectoryHeaderBytes + 11 + kZipEndRecordBytes);
    ASSERT_EQ(zip.size() - directoryAt,
              ZipDirectory(entry, zip.data() + directoryAt, zip.size() - directoryAt));

    EXPECT_EQ(0x04034B50u, U32(zip, 0));
    EXPECT_EQ(10, U16(zip, 4));  // version needed: 1.0
    EXPECT_EQ(0, U16(zip, 6));   // flags
    EXPECT_EQ(0, U16(zip, 8));   // stored
    EXPECT_EQ(0x6000, U16(zip, 10));
    EXPECT_EQ(0x5A21, U16(zip, 12));
    EXPECT_EQ(0x3610A686u, U32(zip, 14));  // CRC-32 of "hello"
    EXPECT_EQ(5u, U32(zip, 18));
    EXPECT_EQ(5u, U32(zip, 22));
    EXPECT_EQ(11, U16(zip, 26));
    EXPECT_EQ(0, U16(zip, 28));
    EXPECT_EQ("Huepeek.exe", std::string(zip.begin() + 30, zip.begin() + 41));
    EXPECT_EQ("hello", std::string(zip.begin() + 41, zip.begin() + 46));

    size_t const d = directoryAt;
    EXPECT_EQ(46u, d);
    EXPECT_EQ(0x02014B50u, U32(zip, d));
    EXPECT_EQ(20, U16(zip, d + 4));  // made by 2.0, MS-DOS
    EXPECT_EQ(10, U16(zip, d + 6));
    EXPECT_EQ(0x3610A686u, U32(zip, d + 16));
    EXPECT_EQ(5u, U32(zip, d + 20));
    EXPECT_EQ(5u, U32(zip, d + 24));
    EXPECT_EQ(11, U16(zip, d + 28));
    EXPECT_EQ(0u, U32(zip, d + 42));  // the local header's offset
    EXPECT_EQ("Huepeek.exe", std::string(zip.begin() + d + 46, zip.begin() + d + 57));

    size_t const e = d + 57;
    EXPECT_EQ(0x06054B50u, U32(zip, e));
    EXPECT_EQ(1, U16(zip, e + 8));
    EXPECT_EQ(1, U16(zip, e + 10));
    EXPECT_EQ(57u, U32(zip, e + 12));  // the directory's size
    EXPECT_EQ(46u, U32(zip, e + 16));  // and offset
    EXPECT_EQ(0, U16(zip, e + 20));
    EXPECT_EQ(zip.size(), e + kZipEndRecordBytes);
}

TEST(ZipWriter, RefusesWhatItCannotWrite) {
    uint8_t out[512];
    std::string const longName(kZipNameMax + 1, 'a');
    const char* const names[] = {nullptr, "",
                                 "H\xC3\xBC"
                                 "epeek.exe",
                                 "tab\t.exe", longName.c_str()};
    for (const char* name : names) {
        ZipEntry const entry = {name, 5, 0, 0, 0};
        EXPECT_EQ(0u, ZipLocalHeader(entry, out, sizeof(out)));
        EXPECT_EQ(0u, ZipDirectory(entry, out, sizeof(out)));
    }
    ZipEntry const entry = {"Huepeek.exe", 5, 0, 0, 0};
    EXPECT_EQ(0u, ZipLocalHeader(entry, out, kZipLocalHeaderBytes + 10));
    EXPECT_EQ(0u, ZipDirectory(entry, out, kZipDirectoryHeaderBytes + 11 + kZipEndRecordBytes - 1));
    EXPECT_EQ(0u, ZipLocalHeader(entry, nullptr, sizeof(out)));
    // A file so large that the directory's offset would pass 32 bits.
    ZipEntry const huge = {"Huepeek.exe", 0xFFFFFFF0u, 0, 0, 0};
    EXPECT_EQ(0u, ZipDirectory(huge, out, sizeof(out)));
}

}  // namespace
