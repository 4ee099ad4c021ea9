// Compresses one file with the archive's LZARI encoder: the payload the exe's decoder reads (the
// text's size, 4 bytes little-endian, then the stream). Makes the golden streams of the tests.
//   lzari_file <in file> <out file>

#include <stdio.h>

#include <vector>

#include "lang/core/lzari_encode.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: lzari_file <in file> <out file>\n");
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    if (!in) {
        fprintf(stderr, "lzari_file: %s: cannot open\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) data.insert(data.end(), buffer, buffer + got);
    bool const readOk = !ferror(in);
    fclose(in);
    if (!readOk) {
        fprintf(stderr, "lzari_file: %s: read error\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> const payload = LzariEncode(data.data(), data.size());
    FILE* out = fopen(argv[2], "wb");
    bool ok = out && fwrite(payload.data(), 1, payload.size(), out) == payload.size();
    if (out) ok = fclose(out) == 0 && ok;
    if (!ok) {
        fprintf(stderr, "lzari_file: %s: cannot write\n", argv[2]);
        remove(argv[2]);
        return 1;
    }
    return 0;
}
