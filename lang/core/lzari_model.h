#pragma once

#include <stdint.h>

// The archive's LZARI format: LZSS over a 4096-byte ring, its literals and match lengths coded by an
// adaptive arithmetic coder and its match distances by a static one. The decoder (lzari.h) and the
// build-time encoder (lzari_encode.h) share these parameters; both sides must agree on every one.
namespace lzari {
constexpr int kRingSize = 4096;                           // N: the farthest a match reaches back
constexpr int kMaxMatch = 60;                             // F: the longest match
constexpr int kThreshold = 2;                             // shorter matches are sent as literals
constexpr int kCharCount = 256 - kThreshold + kMaxMatch;  // 256 literals + match lengths 3..60
constexpr uint32_t kQ1 = 0x8000;
constexpr uint32_t kQ2 = 2 * kQ1;
constexpr uint32_t kQ3 = 3 * kQ1;
constexpr uint32_t kQ4 = 4 * kQ1;      // the coder's interval lies in [0, kQ4): 17 bits
constexpr uint32_t kMaxCum = kQ1 - 1;  // the adaptive model is halved when its total reaches this
constexpr int kValueBits = 17;         // bits shifted into the decoder's value before the first symbol
}  // namespace lzari

// The adaptive model of the characters (256 literals and the match lengths) and the static model of
// match distances, shared by the decoder and the build-time encoder: both sides must update them in
// exactly the same way.
//
// Both tables are cumulative counts that fall as the index (the rank) rises: the entry of rank r
// owns the share [cum[r], cum[r - 1]) of the total cum[0]. Characters are ranked by falling count;
// a match distance d (1 to kRingSize) is rank d of positionCum, nearer distances owning more.
struct LzariModel {
    void Start();
    // Counts one more occurrence of the character at rank (halving every count first when the total
    // has reached kMaxCum). The character moves up to the first rank of its count, so the ranks stay
    // ordered by count.
    void Update(int rank);

    uint16_t charToSym[lzari::kCharCount];      // character -> rank
    uint16_t symToChar[lzari::kCharCount + 1];  // rank -> character, ranks 1..kCharCount
    uint16_t symFreq[lzari::kCharCount + 1];    // rank -> count; entry 0 is 0
    uint16_t symCum[lzari::kCharCount + 1];     // symCum[0] is the model total
    uint16_t positionCum[lzari::kRingSize + 1];
};
