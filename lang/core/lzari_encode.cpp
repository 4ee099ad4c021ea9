#include "lang/core/lzari_encode.h"

#include "lang/core/lzari.h"
#include "lang/core/lzari_model.h"

#include <memory>
#include <utility>

using namespace lzari;

namespace {

constexpr int kNil = kRingSize;  // "no node" in the match-finder trees

class LzariEncoder {
  public:
    LzariEncoder(const uint8_t* data, size_t size) : data(data), size(size) {}

    std::vector<uint8_t> Run();

  private:
    int NextByte() { return readPos < size ? data[readPos++] : -1; }

    void PutBit(int bit);
    void FlushBitBuffer();
    void Output(int bit);
    void InitTree();
    void InsertNode(int r);
    void DeleteNode(int p);
    void Widen();
    void EncodeChar(int ch);
    void EncodePosition(int position);
    void EncodeEnd();

    const uint8_t* data;
    size_t size;
    size_t readPos = 0;
    std::vector<uint8_t> out;
    unsigned putBuffer = 0;
    unsigned putMask = 0x80;

    // The ring plus a mirror of its first F-1 bytes, so a match can be compared without wrapping.
    // Zero-filled like the published program's globals: bytes the tree compares past the end of
    // the input come from here, and they steer which of two equal matches is found.
    uint8_t ring[kRingSize + kMaxMatch - 1] = {};
    int matchPosition = 0;
    int matchLength = 0;
    // Binary search trees: lson/rson/dad per ring position, rson[N + 1 + c] the root for first byte c.
    int lson[kRingSize + 1] = {};
    int rson[kRingSize + 257] = {};
    int dad[kRingSize + 1] = {};

    uint32_t low = 0;
    uint32_t high = kQ4;
    int shifts = 0;  // pending opposite bits from straddling the middle
    LzariModel model = {};
};

void LzariEncoder::PutBit(int bit) {
    if (bit) putBuffer |= putMask;
    putMask >>= 1;
    if (putMask == 0) {
        out.push_back(uint8_t(putBuffer));
        putBuffer = 0;
        putMask = 0x80;
    }
}

void LzariEncoder::FlushBitBuffer() {
    for (int i = 0; i < 7; i++) PutBit(0);
}

void LzariEncoder::Output(int bit) {
    PutBit(bit);
    for (; shifts > 0; shifts--) PutBit(!bit);
}

void LzariEncoder::InitTree() {
    for (int i = kRingSize + 1; i <= kRingSize + 256; i++) rson[i] = kNil;
    for (int i = 0; i < kRingSize; i++) dad[i] = kNil;
}

// Inserts the string at r into its tree and leaves the longest match (nearest on ties) in
// matchPosition/matchLength. A full-length match replaces the older node.
void LzariEncoder::InsertNode(int r) {
    const uint8_t* key = &ring[r];
    int cmp = 1;
    int p = kRingSize + 1 + key[0];
    rson[r] = lson[r] = kNil;
    matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] == kNil) {
                rson[p] = r;
                dad[r] = p;
                return;
            }
            p = rson[p];
        } else {
            if (lson[p] == kNil) {
                lson[p] = r;
                dad[r] = p;
                return;
            }
            p = lson[p];
        }
        int i = 1;
        for (; i < kMaxMatch; i++) {
            cmp = key[i] - ring[p + i];
            if (cmp != 0) break;
        }
        if (i > kThreshold) {
            if (i > matchLength) {
                matchPosition = (r - p) & (kRingSize - 1);
                matchLength = i;
                if (matchLength >= kMaxMatch) break;
            } else if (i == matchLength) {
                int distance = (r - p) & (kRingSize - 1);
                if (distance < matchPosition) matchPosition = distance;
            }
        }
    }
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
        rson[dad[p]] = r;
    else
        lson[dad[p]] = r;
    dad[p] = kNil;
}

void LzariEncoder::DeleteNode(int p) {
    if (dad[p] == kNil) return;
    int q;
    if (rson[p] == kNil) {
        q = lson[p];
    } else if (lson[p] == kNil) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != kNil) {
            do q = rson[q];
            while (rson[q] != kNil);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = q;
        }
        rson[q] = rson[p];
        dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = q;
    else
        lson[dad[p]] = q;
    dad[p] = kNil;
}

void LzariEncoder::Widen() {
    for (;;) {
        if (high <= kQ2) {
            Output(0);
        } else if (low >= kQ2) {
            Output(1);
            low -= kQ2;
            high -= kQ2;
        } else if (low >= kQ1 && high <= kQ3) {
            shifts++;
            low -= kQ1;
            high -= kQ1;
        } else {
            break;
        }
        low += low;
        high += high;
    }
}

void LzariEncoder::EncodeChar(int ch) {
    int sym = model.charToSym[ch];
    uint32_t range = high - low;
    high = low + range * model.symCum[sym - 1] / model.symCum[0];
    low += range * model.symCum[sym] / model.symCum[0];
    Widen();
    model.Update(sym);
}

void LzariEncoder::EncodePosition(int position) {
    uint32_t range = high - low;
    high = low + range * model.positionCum[position] / model.positionCum[0];
    low += range * model.positionCum[position + 1] / model.positionCum[0];
    Widen();
}

// Two more bits settle which quarter the final interval covers; whatever follows them (filler,
// or the all-ones the decoder reads past the end) then decodes to the same text.
void LzariEncoder::EncodeEnd() {
    shifts++;
    Output(low < kQ1 ? 0 : 1);
    FlushBitBuffer();
}

std::vector<uint8_t> LzariEncoder::Run() {
    if (size > 0xFFFFFFFFu) return {};
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(size) >> shift));
    if (size == 0) return std::move(out);

    model.Start();
    InitTree();
    int s = 0;
    int r = kRingSize - kMaxMatch;
    for (int i = s; i < r; i++) ring[i] = ' ';
    int len = 0;
    for (int c; len < kMaxMatch && (c = NextByte()) != -1; len++) ring[r + len] = uint8_t(c);
    for (int i = 1; i <= kMaxMatch; i++) InsertNode(r - i);
    InsertNode(r);
    do {
        if (matchLength > len) matchLength = len;
        if (matchLength <= kThreshold) {
            matchLength = 1;
            EncodeChar(ring[r]);
        } else {
            EncodeChar(255 - kThreshold + matchLength);
            EncodePosition(matchPosition - 1);
        }
        int lastMatchLength = matchLength;
        int i = 0;
        for (int c; i < lastMatchLength && (c = NextByte()) != -1; i++) {
            DeleteNode(s);
            ring[s] = uint8_t(c);
            if (s < kMaxMatch - 1) ring[s + kRingSize] = uint8_t(c);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            InsertNode(r);
        }
        while (i++ < lastMatchLength) {
            DeleteNode(s);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            if (--len) InsertNode(r);
        }
    } while (len > 0);
    EncodeEnd();
    return std::move(out);
}

}  // namespace

std::vector<uint8_t> LzariEncode(const uint8_t* data, size_t size) {
    // The encoder's tables are ~70 KB: keep them off the caller's stack.
    auto encoder = std::make_unique<LzariEncoder>(data, size);
    return encoder->Run();
}
