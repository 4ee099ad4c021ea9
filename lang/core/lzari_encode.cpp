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

struct Match {
    int length;    // 0 when no string of kMinMatch bytes or more was found
    int distance;  // 1..kRingSize bytes back
};

// Hash chains over the history (the ring's start spaces, then the text): for every position, the
// nearest earlier position whose first kMinMatch bytes hash alike. A search walks from the nearest
// candidate outwards within the ring and keeps the first of the longest matches, the nearest,
// because near distances are the cheapest to send.
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

    // The longest match for the bytes at `at`, at most `longest` bytes, before `at` is inserted.
    Match Find(size_t at, int longest) const {
        Match best = {0, 0};
        if (longest < kMinMatch) return best;
        const uint8_t* const here = &history_[at];
        for (int32_t candidate = head_[Hash(at)]; candidate != kNone; candidate = previous_[candidate]) {
            size_t const distance = at - size_t(candidate);
            if (distance > size_t(kRingSize)) break;
            const uint8_t* const there = &history_[size_t(candidate)];
            if (there[best.length] != here[best.length]) continue;  // cannot be longer than the best
            int length = 0;
            while (length < longest && there[length] == here[length]) length++;
            if (length > best.length && length >= kMinMatch) {
                best = {length, int(distance)};
                if (length == longest) break;
            }
        }
        return best;
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

class Encoder {
  public:
    explicit Encoder(std::vector<uint8_t>* out) : coder_(out) { model_.Start(); }

    void Literal(uint8_t byte) { Character(byte); }

    void Copy(const Match& match) {
        Character(256 + match.length - kMinMatch);
        coder_.EncodeRank(model_.positionCum, match.distance);
    }

    void Finish() { coder_.Finish(); }

  private:
    void Character(int c) {
        int const rank = model_.charToSym[c];
        coder_.EncodeRank(model_.symCum, rank);
        model_.Update(rank);
    }

    IntervalEncoder coder_;
    LzariModel model_ = {};
};

}  // namespace

std::vector<uint8_t> LzariEncode(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    if (size > 0xFFFFFFFFu) return out;
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(size) >> shift));
    if (size == 0) return out;

    std::vector<uint8_t> history(kStartSpaces + size, ' ');
    std::copy(data, data + size, history.begin() + kStartSpaces);
    MatchFinder finder(history);
    for (size_t at = 0; at < kStartSpaces; at++) finder.Insert(at);
    // The model's tables are some 10 KB: off the caller's stack.
    auto encoder = std::make_unique<Encoder>(&out);
    for (size_t at = kStartSpaces; at < history.size();) {
        int const longest = int(std::min(size_t(kMaxMatch), history.size() - at));
        Match const match = finder.Find(at, longest);
        size_t const step = match.length ? size_t(match.length) : 1;
        if (match.length)
            encoder->Copy(match);
        else
            encoder->Literal(history[at]);
        for (size_t i = 0; i < step; i++) finder.Insert(at + i);
        at += step;
    }
    encoder->Finish();
    return out;
}
