#include "lang/core/lzari.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>

#include <random>
#include <string>
#include <vector>

#include "lang/core/archive_builder.h"
#include "lang/core/lzari_encode.h"
#include "simple_lzari_decoder.h"

#ifndef HUEPEEK_SOURCE_DIR
#define HUEPEEK_SOURCE_DIR "."
#endif

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed, int alphabet = 256) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = uint8_t(random() % unsigned(alphabet));
    return bytes;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    uint8_t buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + got);
    bool const ok = !ferror(file);
    fclose(file);
    return ok;
}

// Decodes with the program's decoder into a buffer guarded on both sides; fails the test on any
// write outside the bytes the decoder is allowed to fill.
std::vector<uint8_t> DecodeGuarded(const std::vector<uint8_t>& payload, size_t capacity,
                                   uint32_t* declared = nullptr) {
    const uint8_t kGuard = 0xA5;
    const size_t kPad = 32;
    std::vector<uint8_t> buffer(capacity + 2 * kPad, kGuard);
    LzariDecoder decoder;
    uint32_t size = decoder.Decode(payload.data(), payload.size(), buffer.data() + kPad, capacity);
    if (declared) *declared = size;
    size_t written = size < capacity ? size : capacity;
    for (size_t i = 0; i < kPad; i++) EXPECT_EQ(buffer[i], kGuard) << "write before the buffer";
    for (size_t i = kPad + written; i < buffer.size(); i++)
        EXPECT_EQ(buffer[i], kGuard) << "write past " << written;
    return std::vector<uint8_t>(buffer.begin() + kPad, buffer.begin() + kPad + written);
}

std::vector<uint8_t> ShippedText() {
    ArchiveSources sources;
    std::u16string text;
    std::string error;
    EXPECT_TRUE(ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &sources, &error)) << error;
    EXPECT_TRUE(BuildArchiveText(sources, &text, &error)) << error;
    return Utf16LeBytes(text);
}

struct Sample {
    const char* name;
    std::vector<uint8_t> data;
};

// Inputs that reach the coder's corners: nothing, one byte, the all-space start of the ring
// (copies from the spaces before the text), runs long enough to halve the model (total 0x7FFF),
// every byte value, incompressible data beyond one ring, a block repeated exactly one ring later,
// and the shipped text as res/lang holds it now.
std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    samples.push_back({"empty", {}});
    samples.push_back({"one byte", {0x41}});
    samples.push_back({"two bytes", {0x00, 0xFF}});
    samples.push_back({"short text", Bytes("##=English\tEnglisch\r\n20=Exit\r\n")});
    samples.push_back({"spaces", std::vector<uint8_t>(5000, ' ')});
    samples.push_back({"zeros", std::vector<uint8_t>(100000, 0)});
    std::vector<uint8_t> all;
    for (int round = 0; round < 40; round++)
        for (int b = 0; b < 256; b++) all.push_back(uint8_t(b * 7 + round));
    samples.push_back({"every byte", all});
    samples.push_back({"random", RandomBytes(50000, 1)});
    samples.push_back({"random four letters", RandomBytes(70000, 2, 4)});
    std::vector<uint8_t> block = RandomBytes(4096, 3);
    std::vector<uint8_t> twice = block;
    twice.insert(twice.end(), block.begin(), block.end());
    samples.push_back({"a block one ring apart", twice});
    std::string repetitive;
    for (int i = 0; i < 3000; i++)
        repetitive += "press the key [" + std::to_string(i % 4 + 1) + "] to copy\r\n";
    samples.push_back({"repetitive", Bytes(repetitive)});
    samples.push_back({"shipped archive text", ShippedText()});
    return samples;
}

struct GoldenPair {
    const char* name;
    std::vector<uint8_t> text;
    std::vector<uint8_t> payload;
};

// The pairs of lzari_golden/, read whole; fails the calling test when one cannot be read.
std::vector<GoldenPair> GoldenPairs() {
    std::vector<GoldenPair> pairs;
    for (const char* name : {"one_byte", "short_text", "runs", "ring_edge", "shipped_text"}) {
        std::string const path = std::string(HUEPEEK_SOURCE_DIR "/tests/unit/lang/core/lzari_golden/") + name;
        GoldenPair pair = {name, {}, {}};
        EXPECT_TRUE(ReadFile(path + ".in", &pair.text) && ReadFile(path + ".lzari", &pair.payload)) << path;
        pairs.push_back(pair);
    }
    return pairs;
}

// Streams made once by the encoder (lzari_golden/README.md): both decoders must read them back, so
// a change of the decoder or of the shared model that the encoder mirrors cannot pass unseen.
TEST(LzariGolden, EachStreamDecodesToItsText) {
    for (const GoldenPair& pair : GoldenPairs()) {
        SCOPED_TRACE(pair.name);
        uint32_t declared = 0;
        EXPECT_EQ(DecodeGuarded(pair.payload, pair.text.size(), &declared), pair.text);
        EXPECT_EQ(declared, pair.text.size());
        simple_lzari::Decoded const simple = simple_lzari::Decode(pair.payload, pair.text.size());
        EXPECT_EQ(simple.declaredSize, pair.text.size());
        EXPECT_EQ(simple.text, pair.text);
    }
}

// The encoder is deterministic and unchanged: the archive, and so the exe, is the same bytes from
// the same sources. A deliberate change of the encoder makes the pairs again (lzari_golden/README.md).
TEST(LzariGolden, TheEncoderStillWritesEachStream) {
    for (const GoldenPair& pair : GoldenPairs()) {
        SCOPED_TRACE(pair.name);
        EXPECT_EQ(LzariEncode(pair.text.data(), pair.text.size()), pair.payload);
    }
}

// Both decoders read what the encoder writes. The simple decoder fills the ring's positions that
// have no start value with 0xEE instead of zeros: the encoder must never copy from them.
TEST(Lzari, RoundTripsEverySampleThroughBothDecoders) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        std::vector<uint8_t> payload = LzariEncode(sample.data.data(), sample.data.size());
        uint32_t declared = 0;
        EXPECT_EQ(DecodeGuarded(payload, sample.data.size(), &declared), sample.data);
        EXPECT_EQ(declared, sample.data.size());
        EXPECT_EQ(simple_lzari::Decode(payload, sample.data.size(), 0xEE).text, sample.data);
    }
}

// Payloads that no encoder made: the program's decoder must produce exactly what the simple decoder
// produces, including copies from ring positions that no byte has been written to yet.
TEST(Lzari, DecodesDamagedStreamsLikeTheSimpleDecoder) {
    for (uint32_t seed = 1; seed <= 40; seed++) {
        SCOPED_TRACE(seed);
        std::vector<uint8_t> payload = RandomBytes(1 + seed * 37, seed);
        uint32_t size = 6000 + seed;
        for (int i = 0; i < 4; i++) payload.insert(payload.begin() + i, uint8_t(size >> (8 * i)));
        EXPECT_EQ(DecodeGuarded(payload, size), simple_lzari::Decode(payload, size).text);
    }
}

TEST(Lzari, CapacityBelowDeclaredSizeWritesOnlyCapacity) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (size_t capacity : {size_t(0), size_t(1), size_t(3), size_t(4095), data.size() - 1}) {
        SCOPED_TRACE(capacity);
        uint32_t declared = 0;
        std::vector<uint8_t> decoded = DecodeGuarded(payload, capacity, &declared);
        EXPECT_EQ(declared, data.size());
        EXPECT_EQ(decoded, std::vector<uint8_t>(data.begin(), data.begin() + capacity));
    }
}

// Everything after the stream reads as 1 bits (or is filler): the encoder's final bits make the
// text independent of what follows, so trailing bytes must not change it.
TEST(Lzari, BytesAfterTheStreamDoNotChangeTheText) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (uint8_t filler : {uint8_t(' '), uint8_t(0x00), uint8_t(0xFF)}) {
        std::vector<uint8_t> padded = payload;
        padded.insert(padded.end(), 4096, filler);
        EXPECT_EQ(DecodeGuarded(padded, data.size()), data) << "filler " << int(filler);
    }
}

TEST(Lzari, TruncatedStreamStillEndsAtTheDeclaredSize) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (size_t keep : {size_t(4), size_t(5), size_t(6), payload.size() / 2, payload.size() - 1}) {
        SCOPED_TRACE(keep);
        std::vector<uint8_t> truncated(payload.begin(), payload.begin() + keep);
        uint32_t declared = 0;
        std::vector<uint8_t> decoded = DecodeGuarded(truncated, data.size(), &declared);
        EXPECT_EQ(declared, data.size());
        EXPECT_EQ(decoded.size(), data.size());
        EXPECT_EQ(decoded, simple_lzari::Decode(truncated, data.size()).text);
    }
}

TEST(Lzari, DeclaredSize) {
    const uint8_t payload[] = {0x9E, 0x95, 0x01, 0x00, 0xFF};
    EXPECT_EQ(ReadDeclaredSize(payload, 5), 103838u);  // the size the shipped text had, little-endian
    EXPECT_EQ(ReadDeclaredSize(payload, 4), 103838u);
    EXPECT_EQ(ReadDeclaredSize(payload, 3), 0u);  // too short to hold the size: nothing to read
    EXPECT_EQ(ReadDeclaredSize(nullptr, 8), 0u);
    const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadDeclaredSize(huge, 4), 0xFFFFFFFFu);
}

TEST(Lzari, ShortPayloadDecodesToNothing) {
    for (size_t size = 0; size < 4; size++) {
        std::vector<uint8_t> payload(size, 0x41);
        uint32_t declared = 1;
        EXPECT_TRUE(DecodeGuarded(payload, 16, &declared).empty());
        EXPECT_EQ(declared, 0u);
    }
}

// A hostile size with a small buffer must neither write past the buffer nor grind through
// four billion symbols: the decode stops once the buffer is full.
TEST(Lzari, HugeDeclaredSizeStopsAtCapacity) {
    std::vector<uint8_t> payload = {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34};
    uint32_t declared = 0;
    EXPECT_EQ(DecodeGuarded(payload, 1000, &declared).size(), 1000u);
    EXPECT_EQ(declared, 0xFFFFFFFFu);
}

TEST(Lzari, DecoderCanBeReused) {
    std::vector<uint8_t> a = Bytes("first text, first text");
    std::vector<uint8_t> b = RandomBytes(3000, 9);
    std::vector<uint8_t> pa = LzariEncode(a.data(), a.size());
    std::vector<uint8_t> pb = LzariEncode(b.data(), b.size());
    LzariDecoder decoder;
    std::vector<uint8_t> out(b.size());
    decoder.Decode(pa.data(), pa.size(), out.data(), a.size());
    decoder.Decode(pb.data(), pb.size(), out.data(), out.size());
    EXPECT_EQ(out, b);
}

}  // namespace
