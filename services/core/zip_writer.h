#pragma once
#include <stddef.h>
#include <stdint.h>

// A zip archive of one stored (uncompressed) file, as every unzip tool and the shell read it:
// local header, name, the file's bytes, then the central directory and its end record. The caller
// writes the pieces in that order: the file's bytes need never be held twice.

struct ZipEntry {
    const char* name;  // ASCII, at most kZipNameMax bytes; kept as it stands (no folders)
    uint32_t size;     // the file's bytes, stored as they are
    uint32_t crc;      // Crc32 (base/core/crc32.h) of those bytes
    uint16_t dosTime;  // the file's last change in MS-DOS form (local time)
    uint16_t dosDate;
};

size_t const kZipNameMax = 255;
size_t const kZipLocalHeaderBytes = 30;      // without the name
size_t const kZipDirectoryHeaderBytes = 46;  // without the name
size_t const kZipEndRecordBytes = 22;

// The header in front of the file's bytes, name included; returns its length, or 0 when the entry
// is unusable (no name, a name too long or not ASCII) or the capacity is too small.
size_t ZipLocalHeader(const ZipEntry& entry, uint8_t* out, size_t capacity);

// What follows the file's bytes: the central directory (one header, name included) and the end
// record, with the local header at offset 0. Returns its length, or 0 as ZipLocalHeader does.
size_t ZipDirectory(const ZipEntry& entry, uint8_t* out, size_t capacity);
