#include "lang/core/lzari.h"

#include <string.h>

using namespace lzari;

uint32_t ReadDeclaredSize(const uint8_t* payload, size_t payloadSize) {
    if (!payload || payloadSize < 4) return 0;
    return uint32_t(payload[0]) | uint32_t(payload[1]) << 8 | uint32_t(payload[2]) << 16 |
           uint32_t(payload[3]) << 24;
}

LzariDecoder::LzariDecoder()
    : bitBuffer(0),
      bitMask(0),
      declaredSize(0),
      ring(),
      model(),
      low(0),
      high(kQ4),
      value(0),
      input(nullptr),
      inputSize(0),
      inputPos(0),
      output(nullptr),
      outputLimit(0),
      outputCount(0),
      ringPos(0) {}

LzariDecoder::~LzariDecoder() {}

int LzariDecoder::NextBit() {
    if (bitMask == 0) {
        // Past the payload every bit is 1. The encoder's last two bits already decide the text, so
        // whatever follows a whole stream (the archive's filler, or these ones) cannot change it.
        bitBuffer = inputPos < inputSize ? input[inputPos++] : 0xFF;
        bitMask = 0x80;
    }
    int const bit = (bitBuffer & bitMask) != 0;
    bitMask >>= 1;
    return bit;
}

namespace {

// The first rank in 1..last whose cumulative count is at or below x. The tables fall strictly as the
// rank rises, so this is the one rank whose share [cumulative[r], cumulative[r - 1]) holds x; and it
// stays within 1..last whatever x is.
int FindRank(const uint16_t* cumulative, int last, uint32_t x) {
    int lo = 1;
    int hi = last;
    while (lo < hi) {
        int const mid = lo + (hi - lo) / 2;
        if (cumulative[mid] <= x)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

}  // namespace

// The value always lies in [low, high), whatever the input bits are, and high - low stays above
// kQ1, which is above every model total: each rank keeps a non-empty share, x stays below the total,
// and the doubling loop ends within 17 rounds. All products stay below 2^32: the range is at most
// 2^17 and a total below 2^15.
int LzariDecoder::DecodeRank(const uint16_t* cumulative, int last) {
    uint32_t const range = high - low;
    uint32_t const total = cumulative[0];
    uint32_t const x = ((value - low + 1) * total - 1) / range;
    int const rank = FindRank(cumulative, last, x);
    high = low + range * cumulative[rank - 1] / total;
    low += range * cumulative[rank] / total;
    // Double the interval while it lies within one half, or within the middle half, of [0, kQ4),
    // moving that half onto the whole; the value follows and takes in one more bit each time.
    for (;;) {
        uint32_t half;
        if (high <= kQ2)
            half = 0;
        else if (low >= kQ2)
            half = kQ2;
        else if (low >= kQ1 && high <= kQ3)
            half = kQ1;
        else
            break;
        low = 2 * (low - half);
        high = 2 * (high - half);
        value = 2 * (value - half) + uint32_t(NextBit());
    }
    return rank;
}

void LzariDecoder::Emit(uint8_t c) {
    output[outputCount++] = c;
    ring[ringPos] = c;
    ringPos = (ringPos + 1) & (kRingSize - 1);
}

uint32_t LzariDecoder::Decode(const uint8_t* payload, size_t payloadSize, uint8_t* out, size_t capacity) {
    declaredSize = ReadDeclaredSize(payload, payloadSize);
    if (declaredSize == 0 || !out || capacity == 0) return declaredSize;
    input = payload;
    inputSize = payloadSize;
    inputPos = 4;
    output = out;
    // Bytes past the capacity would be thrown away, so decoding stops there: a hostile declared
    // size cannot make the decode run for billions of symbols.
    outputLimit = declaredSize < capacity ? declaredSize : capacity;
    outputCount = 0;
    bitBuffer = 0;
    bitMask = 0;
    low = 0;
    high = kQ4;
    value = 0;
    for (int i = 0; i < kValueBits; i++) value = 2 * value + uint32_t(NextBit());
    model.Start();
    // The text is written from kRingSize - kMaxMatch on, after that many spaces that matches may copy.
    // The last kMaxMatch positions have no start value of the format's; they are zeroed so that a
    // damaged stream that copies from them still decodes the same way every time.
    memset(ring, ' ', kRingSize - kMaxMatch);
    memset(ring + (kRingSize - kMaxMatch), 0, sizeof ring - (kRingSize - kMaxMatch));
    ringPos = kRingSize - kMaxMatch;

    while (outputCount < outputLimit) {
        int const rank = DecodeRank(model.symCum, kCharCount);
        int const c = model.symToChar[rank];
        model.Update(rank);
        if (c < 256) {
            Emit(uint8_t(c));
            continue;
        }
        int const length = c - 256 + kThreshold + 1;
        int const distance = DecodeRank(model.positionCum, kRingSize);
        // Byte by byte, so a match may overlap the bytes it writes (a run).
        int const from = (ringPos - distance) & (kRingSize - 1);
        for (int k = 0; k < length && outputCount < outputLimit; k++)
            Emit(ring[(from + k) & (kRingSize - 1)]);
    }

    input = nullptr;
    inputSize = 0;
    inputPos = 0;
    output = nullptr;
    return declaredSize;
}
