#pragma once

#include <stddef.h>
#include <stdint.h>

// LZARI (Okumura, 1989): LZSS over a 4096-byte ring with adaptive arithmetic coding. The encoder
// (lzari_encode.h) shares these parameters; both sides must agree on every one of them.
namespace lzari {
constexpr int kRingSize = 4096;                           // N
constexpr int kMaxMatch = 60;                             // F
constexpr int kThreshold = 2;                             // shorter matches are sent as literals
constexpr int kCharCount = 256 - kThreshold + kMaxMatch;  // 256 literals + match lengths 3..60
constexpr uint32_t kQ1 = 0x8000;
constexpr uint32_t kQ2 = 2 * kQ1;
constexpr uint32_t kQ3 = 3 * kQ1;
constexpr uint32_t kQ4 = 4 * kQ1;
constexpr uint32_t kMaxCum = kQ1 - 1;  // the adaptive model is halved when its total reaches this
constexpr int kValueBits = 17;         // bits shifted into the decoder's value before the first symbol
}  // namespace lzari

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
    int GetBit();
    void StartModel();
    void UpdateModel(int sym);
    int BinarySearchSym(uint32_t x) const;
    int BinarySearchPos(uint32_t x) const;
    void Narrow(uint32_t range, uint32_t cumHigh, uint32_t cumLow, uint32_t total);
    int DecodeChar();
    int DecodePosition();
    void Emit(uint8_t c);

    uint16_t bitBuffer;
    uint16_t bitMask;  // 0: the buffer is used up and the next bit fetches a new byte
    uint32_t declaredSize;
    uint8_t ring[lzari::kRingSize + lzari::kMaxMatch - 1];
    uint16_t charToSym[lzari::kCharCount];
    uint16_t symToChar[lzari::kCharCount + 1];
    uint16_t symFreq[lzari::kCharCount + 1];
    uint16_t symCum[lzari::kCharCount + 1];  // symCum[0] is the model total
    uint16_t positionCum[lzari::kRingSize + 1];
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
