#include "services/core/zip_writer.h"

namespace {

uint32_t const kLocalSignature = 0x04034B50;      // "PK\3\4"
uint32_t const kDirectorySignature = 0x02014B50;  // "PK\1\2"
uint32_t const kEndSignature = 0x06054B50;        // "PK\5\6"
uint16_t const kVersionNeeded = 10;               // 1.0: a stored file, nothing more
uint16_t const kVersionMadeBy = 20;               // 2.0, MS-DOS attributes (the high byte 0)
uint16_t const kMethodStored = 0;

// Zip numbers are little-endian whatever the machine.
class LittleEndian {
  public:
    explicit LittleEndian(uint8_t* out) : out_(out) {}
    void U16(uint16_t value) {
        out_[at_++] = uint8_t(value);
        out_[at_++] = uint8_t(value >> 8);
    }
    void U32(uint32_t value) {
        U16(uint16_t(value));
        U16(uint16_t(value >> 16));
    }
    void Bytes(const char* text, size_t length) {
        for (size_t i = 0; i < length; ++i) out_[at_++] = uint8_t(text[i]);
    }
    size_t Length() const { return at_; }

  private:
    uint8_t* out_;
    size_t at_ = 0;
};

// The name's length when it can stand in an archive as plain ASCII, else 0.
size_t UsableNameLength(const char* name) {
    if (!name) return 0;
    size_t length = 0;
    for (; name[length]; ++length)
        if (length >= kZipNameMax || static_cast<unsigned char>(name[length]) < 0x20 ||
            static_cast<unsigned char>(name[length]) > 0x7E)
            return 0;
    return length;
}

// The fields that the local header and the directory header share, from "version needed" to the
// name's length.
void CommonFields(LittleEndian& out, const ZipEntry& entry, size_t nameLength) {
    out.U16(kVersionNeeded);
    out.U16(0);  // flags: no encryption, sizes known in advance
    out.U16(kMethodStored);
    out.U16(entry.dosTime);
    out.U16(entry.dosDate);
    out.U32(entry.crc);
    out.U32(entry.size);  // compressed size: stored, so the same
    out.U32(entry.size);
    out.U16(uint16_t(nameLength));
}

}  // namespace

size_t ZipLocalHeader(const ZipEntry& entry, uint8_t* out, size_t capacity) {
    size_t const nameLength = UsableNameLength(entry.name);
    if (!nameLength || !out || capacity < kZipLocalHeaderBytes + nameLength) return 0;
    LittleEndian writer(out);
    writer.U32(kLocalSignature);
    CommonFields(writer, entry, nameLength);
    writer.U16(0);  // no extra field
    writer.Bytes(entry.name, nameLength);
    return writer.Length();
}

size_t ZipDirectory(const ZipEntry& entry, uint8_t* out, size_t capacity) {
    size_t const nameLength = UsableNameLength(entry.name);
    size_t const directoryLength = kZipDirectoryHeaderBytes + nameLength;
    if (!nameLength || !out || capacity < directoryLength + kZipEndRecordBytes) return 0;
    // The directory's offset must fit the end record's 32 bits.
    if (entry.size > 0xFFFFFFFFu - (kZipLocalHeaderBytes + nameLength)) return 0;
    uint32_t const directoryOffset = uint32_t(kZipLocalHeaderBytes + nameLength) + entry.size;
    LittleEndian writer(out);
    writer.U32(kDirectorySignature);
    writer.U16(kVersionMadeBy);
    CommonFields(writer, entry, nameLength);
    writer.U16(0);  // no extra field
    writer.U16(0);  // no comment
    writer.U16(0);  // disk 0
    writer.U16(0);  // internal attributes: binary
    writer.U32(0);  // external attributes: a plain file
    writer.U32(0);  // the local header's offset
    writer.Bytes(entry.name, nameLength);
    writer.U32(kEndSignature);
    writer.U16(0);  // this disk
    writer.U16(0);  // the directory's disk
    writer.U16(1);  // entries on this disk
    writer.U16(1);  // entries in all
    writer.U32(uint32_t(directoryLength));
    writer.U32(directoryOffset);
    writer.U16(0);  // no comment
    return writer.Length();
}
