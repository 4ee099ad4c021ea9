#include "lang/core/lzari_encode.h"

#include <algorithm>
#include <memory>

#include "lang/core/lzari_model.h"

using namespace lzari;

namespace {

constexpr int kMinMatch = kThreshold + 1;
// The decoder's ring starts with this many spaces before the text's first byte; matches may copy
// them. The ring's other kMaxMatch positions have no start value, so nothing may copy from there.
constexpr size_t kStartSpaces = kRingSize - kMaxMatch;

class BitWriter {
  public:
    explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}

    void Put(int bit) {
        byte_ = uint8_t(byte_ << 1 | bit);
        if (++used_ == 8) {
            out_->push_back(byte_);
            byte_ = 0;
            used_ = 0;
        }
    }

    // The last byte, filled up with zero bits.
    void Flush() {
        while (used_ != 0) Put(0);
    }

  private:
    std::vector<uint8_t>* out_;
    uint8_t byte_ = 0;
    int used_ = 0;
};

// The arithmetic coder's sending side: the interval [low, high) of [0, kQ4), narrowed exactly as
// the decoder narrows it. Whenever the interval lies within one half, that half's bit is settled and
// sent; an interval within the middle half only settles that the next bit sent will be followed by
// its opposite, so those opposite bits wait as pending.
class IntervalEncoder {
  public:
    explicit IntervalEncoder(std::vector<uint8_t>* out) : bits_(out) {}

    void EncodeRank(const uint16_t* cumulative, int rank) {
        uint32_t const range = high_ - low_;
        uint32_t const total = cumulative[0];
        high_ = low_ + range * cumulative[rank - 1] / total;
        low_ += range * cumulative[rank] / total;
        for (;;) {
            if (high_ <= kQ2) {
                Send(0);
            } else if (low_ >= kQ2) {
                Send(1);
                low_ -= kQ2;
                high_ -= kQ2;
            } else if (low_ >= kQ1 && high_ <= kQ3) {
                pending_++;
                low_ -= kQ1;
                high_ -= kQ1;
            } else {
                break;
            }
            low_ *= 2;
            high_ *= 2;
        }
    }

    // The interval now straddles the middle: either it holds [kQ1, kQ2] (low below kQ1) or [kQ2, kQ3].
    // Two more bits name that quarter, and every value that starts with them lies inside the
    // interval, so whatever the decoder reads behind the stream cannot change the text.
    void Finish() {
        pending_++;
        Send(low_ < kQ1 ? 0 : 1);
        bits_.Flush();
    }

  private:
    void Send(int bit) {
        bits_.Put(bit);
        for (; pending_ > 0; pending_--) bits_.Put(!bit);
    }

    BitWriter bits_;
    uint32_t low_ = 0;
    uint32_t high_ = kQ4;
    int pending_ = 0;
};

// Where the bytes at one position repeat within the ring: for each length that some earlier string
// reaches, the nearest distance that gives it. A run of lengths shares one distance, so a position
// keeps a few (longest, distance) steps: lengths up to `longest` of a step and beyond the step before
// come from `distance`.
struct MatchStep {
    uint8_t longest;
    uint16_t distance;  // 1..kRingSize bytes back
};

// Hash chains over the history (the ring's start spaces, then the text): for every position, the
// nearest earlier position whose first kMinMatch bytes hash alike. A search walks from the nearest
// candidate outwards within the ring, so the first candidate to reach a length is its nearest.
class MatchFinder {
  public:
    explicit MatchFinder(const std::vector<uint8_t>& history)
        : history_(history), head_(size_t(1) << kHashBits, kNone), previous_(history.size(), kNone) {}

    void Insert(size_t at) {
        if (at + kMinMatch > history_.size()) return;  // too near the end to start a match
        uint32_t const hash = Hash(at);
        previous_[at] = head_[hash];
        head_[hash] = int32_t(at);
    }

    // The steps for the bytes at `at`, at most `longest` bytes, before `at` is inserted; appended to
    // `steps` by rising length.
    void Find(size_t at, int longest, std::vector<MatchStep>* steps) const {
        if (longest < kMinMatch) return;
        const uint8_t* const here = &history_[at];
        int best = kMinMatch - 1;
        for (int32_t candidate = head_[Hash(at)]; candidate != kNone; candidate = previous_[candidate]) {
            size_t const distance = at - size_t(candidate);
            if (distance > size_t(kRingSize)) break;
            const uint8_t* const there = &history_[size_t(candidate)];
            if (there[best] != here[best]) continue;  // cannot be longer than the best
            int length = 0;
            while (length < longest && there[length] == here[length]) length++;
            if (length > best) {
                steps->push_back({uint8_t(length), uint16_t(distance)});
                best = length;
                if (length == longest) break;
            }
        }
    }

  private:
    static constexpr int kHashBits = 15;
    static constexpr int32_t kNone = -1;

    uint32_t Hash(size_t at) const {
        uint32_t const key =
            uint32_t(history_[at]) << 16 | uint32_t(history_[at + 1]) << 8 | history_[at + 2];
        return (key * 2654435761u) >> (32 - kHashBits);
    }

    const std::vector<uint8_t>& history_;
    std::vector<int32_t> head_;
    std::vector<int32_t> previous_;
};

// Prices in 1/256 bit: what a symbol of the given share of a total costs the arithmetic coder.
// Integer arithmetic only, so that every machine makes the same choices and so the same bytes.
class Prices {
  public:
    Prices() : log2_(kMaxCount + 1) {
        // log2(x) in 1/256 bit by squaring: the integer part from the highest bit, then each square
        // of the mantissa in [1, 2) that reaches 2 gives one more fraction bit.
        for (uint32_t x = 1; x <= kMaxCount; x++) {
            uint32_t whole = 0;
            while ((x >> (whole + 1)) != 0) whole++;
            uint64_t mantissa = (uint64_t(x) << 30) >> whole;  // 1.0 is 1 << 30
            uint32_t fraction = 0;
            for (int bit = 0; bit < 8; bit++) {
                mantissa = mantissa * mantissa >> 30;
                fraction <<= 1;
                if (mantissa >= (uint64_t(2) << 30)) {
                    fraction |= 1;
                    mantissa >>= 1;
                }
            }
            log2_[x] = whole << 8 | fraction;
        }
    }

    uint32_t Of(uint32_t count, uint32_t total) const { return log2_[total] - log2_[count]; }

  private:
    static constexpr uint32_t kMaxCount = 0xFFFF;
    std::vector<uint32_t> log2_;
};

class Encoder {
  public:
    explicit Encoder(std::vector<uint8_t>* out) : coder_(out) { model_.Start(); }

    void Literal(uint8_t byte) { Character(byte); }

    void Copy(int length, int distance) {
        Character(256 + length - kMinMatch);
        coder_.EncodeRank(model_.positionCum, distance);
    }

    void Finish() { coder_.Finish(); }

    // What each character and each distance costs with the model as it stands.
    void CharacterPrices(const Prices& prices, uint32_t* price) const {
        for (int c = 0; c < kCharCount; c++)
            price[c] = prices.Of(model_.symFreq[model_.charToSym[c]], model_.symCum[0]);
    }
    void DistancePrices(const Prices& prices, uint32_t* price) const {
        for (int d = 1; d <= kRingSize; d++)
            price[d] =
                prices.Of(uint32_t(model_.positionCum[d - 1] - model_.positionCum[d]), model_.positionCum[0]);
    }

  private:
    void Character(int c) {
        int const rank = model_.charToSym[c];
        coder_.EncodeRank(model_.symCum, rank);
        model_.Update(rank);
    }

    IntervalEncoder coder_;
    LzariModel model_ = {};
};

// The text is parsed a block at a time: the cheapest way through the block's literals and copies at
// the prices of the model as the block begins (the adaptive model moves slowly, so they stay close).
// The way is searched a little past the block, so that its end does not cut the copies that cross it;
// those positions are parsed again with the next block.
constexpr size_t kBlock = 512;
constexpr size_t kLookPast = 4 * kMaxMatch;

}  // namespace

std::vector<uint8_t> LzariEncode(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    if (size > 0xFFFFFFFFu) return out;
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(size) >> shift));
    if (size == 0) return out;

    std::vector<uint8_t> history(kStartSpaces + size, ' ');
    std::copy(data, data + size, history.begin() + kStartSpaces);
    // Every position's matches, found once: steps[first[i]..first[i + 1]) for text byte i.
    std::vector<MatchStep> steps;
    std::vector<uint32_t> first(size + 1);
    {
        MatchFinder finder(history);
        for (size_t at = 0; at < kStartSpaces; at++) finder.Insert(at);
        for (size_t i = 0; i < size; i++) {
            first[i] = uint32_t(steps.size());
            size_t const at = kStartSpaces + i;
            finder.Find(at, int(std::min(size_t(kMaxMatch), history.size() - at)), &steps);
            finder.Insert(at);
        }
        first[size] = uint32_t(steps.size());
    }

    Prices const prices;
    // The model's tables are some 10 KB: off the caller's stack.
    auto encoder = std::make_unique<Encoder>(&out);
    std::vector<uint32_t> charPrice(kCharCount);
    std::vector<uint32_t> distancePrice(kRingSize + 1);
    encoder->DistancePrices(prices, distancePrice.data());  // the distance model is static
    size_t const window = kBlock + kLookPast;
    std::vector<uint64_t> cost(window + 1);
    std::vector<uint8_t> length(window + 1);     // of the step that reaches each position; 1: a literal
    std::vector<uint16_t> distance(window + 1);  // of that step's copy
    std::vector<uint32_t> way;
    for (size_t begin = 0; begin < size;) {
        size_t const end = std::min(size, begin + window);
        size_t const n = end - begin;
        encoder->CharacterPrices(prices, charPrice.data());
        std::fill(cost.begin(), cost.begin() + n + 1, UINT64_MAX);
        cost[0] = 0;
        for (size_t i = 0; i < n; i++) {
            uint64_t const here = cost[i];
            uint64_t const literal = here + charPrice[data[begin + i]];
            if (literal < cost[i + 1]) {
                cost[i + 1] = literal;
                length[i + 1] = 1;
            }
            int shorter = kMinMatch - 1;
            for (uint32_t s = first[begin + i]; s < first[begin + i + 1]; s++) {
                int const longest = std::min(int(steps[s].longest), int(n - i));
                uint64_t const base = here + distancePrice[steps[s].distance];
                for (int l = shorter + 1; l <= longest; l++) {
                    uint64_t const copy = base + charPrice[256 + l - kMinMatch];
                    if (copy < cost[i + l]) {
                        cost[i + l] = copy;
                        length[i + l] = uint8_t(l);
                        distance[i + l] = steps[s].distance;
                    }
                }
                shorter = steps[s].longest;
            }
        }
        // The way back from the window's end, then sent from the front up to the block's end.
        way.clear();
        for (size_t i = n; i > 0; i -= length[i]) way.push_back(uint32_t(i));
        size_t at = 0;
        for (size_t k = way.size(); k-- > 0 && (at < kBlock || end == size);) {
            size_t const to = way[k];
            if (length[to] == 1)
                encoder->Literal(data[begin + at]);
            else
                encoder->Copy(length[to], distance[to]);
            at = to;
        }
        begin += at;
    }
    encoder->Finish();
    return out;
}
