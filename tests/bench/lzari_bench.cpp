// Start-up cost of the language archive: the archive built from res/lang, decoded, checked and loaded
// the way the exe does it. Prints figures; asserts nothing about time.

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/core/crc32.h"
#include "lang/core/archive_builder.h"
#include "lang/core/language_archive.h"
#include "lang/core/lzari.h"
#include "lang/core/lzari_encode.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

}  // namespace

int main() {
    ArchiveSources sources;
    std::u16string text;
    std::string error;
    if (!ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &sources, &error) ||
        !BuildArchiveText(sources, &text, &error)) {
        fprintf(stderr, "lzari_bench: %s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> file = BuildArchiveBytes(text);
    ArchiveLocation where;
    if (!LocateArchive(file.data(), file.size(), &where)) {
        fprintf(stderr, "lzari_bench: the built archive cannot be found\n");
        return 1;
    }
    const uint8_t* payload = file.data() + where.payloadOffset;
    const size_t payloadSize = where.payloadSize;
    const uint32_t declared = where.declaredSize;
    std::vector<uint8_t> textBytes = Utf16LeBytes(text);
    size_t streamSize = 0;
    std::vector<double> encodeSeconds;
    for (int run = 0; run < 11; run++) {
        Clock::time_point start = Clock::now();
        streamSize = LzariEncode(textBytes.data(), textBytes.size()).size() - 4;  // without size and filler
        encodeSeconds.push_back(Seconds(start));
    }

    const int kRuns = 201;
    std::vector<char16_t> out(declared / 2 + 6);  // declared size + 10 bytes, as the exe allocates
    auto archive = std::make_unique<LanguageArchive>();
    std::vector<double> decodeSeconds;
    std::vector<double> loadSeconds;
    std::vector<double> checksumSeconds;
    for (int run = 0; run < kRuns; run++) {
        Clock::time_point start = Clock::now();
        LzariDecoder decoder;
        decoder.Decode(payload, payloadSize, reinterpret_cast<uint8_t*>(out.data()), declared);
        decodeSeconds.push_back(Seconds(start));
        if (memcmp(out.data(), textBytes.data(), declared) != 0) {
            fprintf(stderr, "lzari_bench: decoded text differs from the packed text\n");
            return 1;
        }

        start = Clock::now();
        volatile uint32_t checksum = Crc32(reinterpret_cast<const uint8_t*>(out.data()), declared);
        (void)checksum;
        checksumSeconds.push_back(Seconds(start));

        start = Clock::now();
        if (!DecodeArchive(file.data(), where, reinterpret_cast<uint8_t*>(out.data()))) {
            fprintf(stderr, "lzari_bench: the archive does not match its checksum\n");
            return 1;
        }
        LoadArchiveText(out.data(), declared / 2, archive.get());
        loadSeconds.push_back(Seconds(start));
    }

    double decode = Median(decodeSeconds);
    printf("languages in res/lang:                 %zu\n", sources.languages.size());
    printf("archive resource size:                 %zu bytes\n", file.size());
    printf("decoded text size (declared):          %u bytes\n", unsigned(declared));
    printf("LZARI stream size (without filler):    %zu bytes (%.1f %% of the text)\n", streamSize,
           100.0 * double(streamSize) / double(declared));
    printf("encode time (median of 11, build time): %.1f ms (%.1f MB/s of text)\n",
           Median(encodeSeconds) * 1e3, declared / Median(encodeSeconds) / 1e6);
    printf("decode throughput (median of %d):     %.1f MB/s of decoded text\n", kRuns,
           declared / decode / 1e6);
    printf("decode time (median):                  %.3f ms\n", decode * 1e3);
    printf("checksum (CRC-32) of the text (median): %.3f ms\n", Median(checksumSeconds) * 1e3);
    printf("decode + checksum + split + parse time (median):  %.3f ms\n", Median(loadSeconds) * 1e3);
    printf("language slots loaded:                 %d\n", archive->languageCount);
    return 0;
}
