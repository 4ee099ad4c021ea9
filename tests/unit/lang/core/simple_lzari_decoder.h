#pragma once
// A second LZARI decoder for the tests, deliberately simple, written from the format's description
// alone and sharing no code with lang/core: its character model is a list ranked by count, the
// cumulative counts are summed afresh for every symbol, every search is linear and every number is
// 64 bits wide. It is slow and meant to be plainly right; the tests hold the program's decoder and
// encoder to it.
//
// The format, as this decoder reads it:
// - The payload starts with the text's size, 4 bytes little-endian; the stream follows, read most
//   significant bit first; past its end every bit is 1.
// - The text is LZSS: a literal byte, or a copy of 3 to 60 bytes from 1 to 4096 bytes back, byte by
//   byte (a copy may overlap what it writes). Before the text lie 4036 spaces, and before those 60
//   bytes the format leaves undefined.
// - Literals and copy lengths are 314 characters (0-255 the bytes, 256 + n a copy of 3 + n bytes)
//   coded with an adaptive model: every character starts with a count of 1, ranked 1 to 314 in
//   character order. Rank r owns the share of the total that lies between the sum of the counts of
//   the ranks after it and that sum plus its own count. After each character: if the total has
//   reached 0x7FFF, every count becomes (count + 1) / 2; then the character trades places with the
//   first (lowest) rank of the same count, and that rank's count grows by one.
// - A copy's distance d (1 to 4096) has the fixed count 10000 / (d + 200), and owns the share
//   between the sum of the counts of the farther distances and that sum plus its own count.
// - The arithmetic coder works on [0, 2^17): low, high and a value of the next 17 bits. For a
//   total T and range = high - low, the decoder takes x = ((value - low + 1) * T - 1) / range and
//   picks the entry whose share [a, b) holds x; then high = low + range * b / T and
//   low = low + range * a / T (integer division). While the interval lies within [2^15, 3 * 2^15),
//   within [0, 2^16) or within [2^16, 2^17), that part is moved to start at 0 (low, high and value
//   lose its start) and all three are doubled, the value taking in the next bit.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace simple_lzari {

struct Decoded {
    uint32_t declaredSize = 0;
    std::vector<uint8_t> text;  // min(declared size, capacity) bytes
};

class Decoder {
  public:
    // undefinedByte: what this decoder puts into the 60 bytes the format leaves undefined (the
    // program's decoder puts zeros there).
    Decoder(const std::vector<uint8_t>& payload, uint8_t undefinedByte) : payload_(payload) {
        for (int c = 0; c < 314; c++) ranks_.push_back({c, 1});
        for (uint64_t d = 1; d <= 4096; d++) distanceCounts_.push_back(10000 / (d + 200));
        history_.assign(60, undefinedByte);
        history_.insert(history_.end(), 4036, uint8_t(' '));
    }

    Decoded Run(size_t capacity) {
        Decoded result;
        if (payload_.size() < 4) return result;
        for (int i = 0; i < 4; i++) result.declaredSize |= uint32_t(payload_[size_t(i)]) << (8 * i);
        size_t const limit = std::min<size_t>(result.declaredSize, capacity);
        if (limit == 0) return result;
        bitAt_ = 32;
        for (int i = 0; i < 17; i++) value_ = value_ * 2 + NextBit();
        while (result.text.size() < limit) {
            int const character = DecodeCharacter();
            if (character < 256) {
                Put(uint8_t(character), &result.text);
                continue;
            }
            size_t const length = size_t(character - 256 + 3);
            size_t const distance = DecodeDistance();
            for (size_t k = 0; k < length && result.text.size() < limit; k++)
                Put(history_[history_.size() - distance], &result.text);
        }
        return result;
    }

  private:
    struct Ranked {
        int character;
        uint64_t count;
    };

    uint64_t NextBit() {
        size_t const byte = bitAt_ / 8;
        int const shift = 7 - int(bitAt_ % 8);
        bitAt_++;
        return byte < payload_.size() ? (payload_[byte] >> shift) & 1u : 1u;
    }

    // count(i) is the count of entry i of n; entry i owns [sum of counts after i, that + count(i)).
    template <typename Count>
    size_t DecodeEntry(size_t n, Count count) {
        uint64_t total = 0;
        for (size_t i = 0; i < n; i++) total += count(i);
        uint64_t const range = high_ - low_;
        uint64_t const x = ((value_ - low_ + 1) * total - 1) / range;
        uint64_t after = total;
        for (size_t i = 0; i < n; i++) {
            uint64_t const from = after - count(i);
            if (from <= x && x < after) {
                high_ = low_ + range * after / total;
                low_ = low_ + range * from / total;
                Rescale();
                return i;
            }
            after = from;
        }
        abort();  // unreachable: the value always lies within [low, high), so x below the total
    }

    void Rescale() {
        uint64_t const quarter = 1u << 15;
        for (;;) {
            uint64_t start;
            if (low_ >= quarter && high_ <= 3 * quarter)
                start = quarter;
            else if (high_ <= 2 * quarter)
                start = 0;
            else if (low_ >= 2 * quarter)
                start = 2 * quarter;
            else
                return;
            low_ = (low_ - start) * 2;
            high_ = (high_ - start) * 2;
            value_ = (value_ - start) * 2 + NextBit();
        }
    }

    int DecodeCharacter() {
        size_t const rank = DecodeEntry(ranks_.size(), [this](size_t i) { return ranks_[i].count; });
        int const character = ranks_[rank].character;
        uint64_t total = 0;
        for (const Ranked& ranked : ranks_) total += ranked.count;
        if (total >= 0x7FFF)
            for (Ranked& ranked : ranks_) ranked.count = (ranked.count + 1) / 2;
        size_t first = rank;
        while (first > 0 && ranks_[first - 1].count == ranks_[rank].count) first--;
        std::swap(ranks_[first].character, ranks_[rank].character);
        ranks_[first].count++;
        return character;
    }

    size_t DecodeDistance() {
        return DecodeEntry(distanceCounts_.size(), [this](size_t i) { return distanceCounts_[i]; }) + 1;
    }

    void Put(uint8_t byte, std::vector<uint8_t>* text) {
        history_.push_back(byte);
        text->push_back(byte);
    }

    const std::vector<uint8_t>& payload_;
    std::vector<Ranked> ranks_;
    std::vector<uint64_t> distanceCounts_;
    std::vector<uint8_t> history_;
    size_t bitAt_ = 0;
    uint64_t low_ = 0;
    uint64_t high_ = uint64_t(1) << 17;
    uint64_t value_ = 0;
};

inline Decoded Decode(const std::vector<uint8_t>& payload, size_t capacity, uint8_t undefinedByte = 0) {
    return Decoder(payload, undefinedByte).Run(capacity);
}

}  // namespace simple_lzari
