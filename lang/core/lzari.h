#pragma once

#include <stddef.h>
#include <stdint.h>

#include "lang/core/lzari_model.h"

// The first four payload bytes (little-endian); 0 for a payload too short to hold them.
uint32_t ReadDeclaredSize(const uint8_t* payload, size_t payloadSize);

class LzariDecoder {
  public:
    LzariDecoder();
    virtual ~LzariDecoder();

    // Decodes payload = declared size + stream into out, stopping after min(declared size,
    // capacity) bytes. Returns the declared size. Damaged input decodes to wrong bytes, never
    // outside the buffers; past the payload's end every bit reads as 1.
    uint32_t Decode(const uint8_t* payload, size_t payloadSize, uint8_t* out, size_t capacity);

  private:
    int NextBit();
    // The rank of cumulative (1..last) whose share of the interval holds the value; narrows the
    // interval to that share.
    int DecodeRank(const uint16_t* cumulative, int last);
    void Emit(uint8_t c);

    uint16_t bitBuffer;
    uint16_t bitMask;  // 0: the buffer is used up and the next bit fetches a new byte
    uint32_t declaredSize;
    uint8_t ring[lzari::kRingSize + lzari::kMaxMatch - 1];
    LzariModel model;
    uint32_t low;
    uint32_t high;
    uint32_t value;

    const uint8_t* input;
    size_t inputSize;
    size_t inputPos;
    uint8_t* output;
    size_t outputLimit;
    size_t outputCount;
    int ringPos;
};
