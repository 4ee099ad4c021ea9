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

int LzariDecoder::GetBit() {
    bitMask >>= 1;
    if (bitMask == 0) {
        // Past the end the published decoder read EOF (all ones) from getc; streams rely on it
        // only for look-ahead bits, which never change the decoded text.
        bitBuffer = inputPos < inputSize ? input[inputPos++] : 0xFFFF;
        bitMask = 0x80;
    }
    return (bitBuffer & bitMask) != 0;
}

namespace {

// The cumulative tables fall as the index rises: the first index in 1..last whose count is at or
// below x. Always within 1..last whatever x is, so a damaged stream cannot index outside a table.
int FindCumulative(const uint16_t* cumulative, int last, uint32_t x) {
    int i = 1;
    int j = last;
    while (i < j) {
        int k = (i + j) / 2;
        if (cumulative[k] > x)
            i = k + 1;
        else
            j = k;
    }
    return i;
}

}  // namespace

// The coder keeps high - low > kQ1 > every model total after renormalising, so each symbol keeps
// a non-empty interval and the loop below ends within 17 doublings even for hostile input. All
// arithmetic is unsigned 32-bit: range (<= 2^17) times a total (< 2^15) cannot overflow.
void LzariDecoder::Narrow(uint32_t range, uint32_t cumHigh, uint32_t cumLow, uint32_t total) {
    high = low + range * cumHigh / total;
    low += range * cumLow / total;
    for (;;) {
        if (low >= kQ2) {
            value -= kQ2;
            low -= kQ2;
            high -= kQ2;
        } else if (low >= kQ1 && high <= kQ3) {
            value -= kQ1;
            low -= kQ1;
            high -= kQ1;
        } else if (high > kQ2) {
            break;
        }
        low += low;
        high += high;
        value = 2 * value + uint32_t(GetBit());
    }
}

int LzariDecoder::DecodeChar() {
    uint32_t range = high - low;
    int sym = FindCumulative(model.symCum, kCharCount, ((value - low + 1) * model.symCum[0] - 1) / range);
    Narrow(range, model.symCum[sym - 1], model.symCum[sym], model.symCum[0]);
    int ch = model.symToChar[sym];
    model.Update(sym);
    return ch;
}

int LzariDecoder::DecodePosition() {
    uint32_t range = high - low;
    uint32_t const x = ((value - low + 1) * model.positionCum[0] - 1) / range;
    // Position p lies between positionCum[p + 1] and positionCum[p].
    int position = FindCumulative(model.positionCum, kRingSize, x) - 1;
    Narrow(range, model.positionCum[position], model.positionCum[position + 1], model.positionCum[0]);
    return position;
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

    for (int i = 0; i < kValueBits; i++) value = 2 * value + uint32_t(GetBit());
    model.Start();
    // Only the first N - F positions have a defined start value; the rest are zeroed so that a
    // damaged stream that copies from them still decodes deterministically.
    memset(ring, ' ', kRingSize - kMaxMatch);
    memset(ring + (kRingSize - kMaxMatch), 0, sizeof ring - (kRingSize - kMaxMatch));
    ringPos = kRingSize - kMaxMatch;

    while (outputCount < outputLimit) {
        int c = DecodeChar();
        if (c < 256) {
            Emit(uint8_t(c));
        } else {
            int from = (ringPos - DecodePosition() - 1) & (kRingSize - 1);
            int length = c - 255 + kThreshold;
            for (int k = 0; k < length && outputCount < outputLimit; k++)
                Emit(ring[(from + k) & (kRingSize - 1)]);
        }
    }

    input = nullptr;
    inputSize = 0;
    inputPos = 0;
    output = nullptr;
    return declaredSize;
}
