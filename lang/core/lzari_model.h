#pragma once

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

// The adaptive model of the symbols (256 literals and the match lengths) and the static model of
// match positions, shared by the decoder and the build-time encoder: both sides must update them
// in exactly the same way.
struct LzariModel {
    void Start();
    // Counts one more occurrence of sym (halving every count when the total reaches kMaxCum) and
    // moves it before the symbols of equal frequency, so the table stays sorted by frequency.
    void Update(int sym);

    uint16_t charToSym[lzari::kCharCount];
    uint16_t symToChar[lzari::kCharCount + 1];
    uint16_t symFreq[lzari::kCharCount + 1];
    uint16_t symCum[lzari::kCharCount + 1];  // symCum[0] is the model total
    uint16_t positionCum[lzari::kRingSize + 1];
};
