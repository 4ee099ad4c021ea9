#include "lang/core/lzari.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "lang/core/archive_builder.h"
#include "lang/core/lzari_encode.h"

namespace {

// A straight transliteration of LZARI.C (Haruhiko Okumura, 4/7/1989): its globals, its types and
// its statements, with getc/putc on memory instead of files and the size field written as four
// little-endian bytes (the unsigned long of the original's DOS compilers). It is the reference our
// encoder and decoder are checked against, byte for byte.
namespace published {

#define N 4096
#define F 60
#define THRESHOLD 2
#define NIL N
#define M 15
#define Q1 (1UL << M)
#define Q2 (2 * Q1)
#define Q3 (3 * Q1)
#define Q4 (4 * Q1)
#define MAX_CUM (Q1 - 1)
#define N_CHAR (256 - THRESHOLD + F)

const std::vector<uint8_t>* infile;
size_t inpos;
std::vector<uint8_t>* outfile;

int getc_() {
    return inpos < infile->size() ? (*infile)[inpos++] : EOF;
}
void putc_(int c) {
    outfile->push_back((unsigned char)c);
}

unsigned long int textsize, codesize;
unsigned char text_buf[N + F - 1];
int match_position, match_length, lson[N + 1], rson[N + 257], dad[N + 1];
unsigned int putbuffer, putmask;
unsigned int getbuffer, getmask;  // GetBit's statics in the original
unsigned long int low, high, value;
int shifts;
int char_to_sym[N_CHAR], sym_to_char[N_CHAR + 1];
unsigned int sym_freq[N_CHAR + 1], sym_cum[N_CHAR + 1], position_cum[N + 1];

// A fresh process: every global zero, as the original relied on, except the declared initialisers.
void Reset(const std::vector<uint8_t>* in, std::vector<uint8_t>* out) {
    infile = in;
    inpos = 0;
    outfile = out;
    textsize = codesize = 0;
    memset(text_buf, 0, sizeof text_buf);
    match_position = match_length = 0;
    memset(lson, 0, sizeof lson);
    memset(rson, 0, sizeof rson);
    memset(dad, 0, sizeof dad);
    putbuffer = 0, putmask = 128;
    getbuffer = 0, getmask = 0;
    low = 0, high = Q4, value = 0;
    shifts = 0;
    memset(char_to_sym, 0, sizeof char_to_sym);
    memset(sym_to_char, 0, sizeof sym_to_char);
    memset(sym_freq, 0, sizeof sym_freq);
    memset(sym_cum, 0, sizeof sym_cum);
    memset(position_cum, 0, sizeof position_cum);
}

void PutBit(int bit) {
    if (bit) putbuffer |= putmask;
    if ((putmask >>= 1) == 0) {
        putc_(putbuffer);
        putbuffer = 0;
        putmask = 128;
        codesize++;
    }
}

void FlushBitBuffer(void) {
    int i;
    for (i = 0; i < 7; i++) PutBit(0);
}

int GetBit(void) {
    if ((getmask >>= 1) == 0) {
        getbuffer = getc_();
        getmask = 128;
    }
    return ((getbuffer & getmask) != 0);
}

void InitTree(void) {
    int i;
    for (i = N + 1; i <= N + 256; i++) rson[i] = NIL;
    for (i = 0; i < N; i++) dad[i] = NIL;
}

void InsertNode(int r) {
    int i, p, cmp, temp;
    unsigned char* key;

    cmp = 1;
    key = &text_buf[r];
    p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    match_length = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] != NIL)
                p = rson[p];
            else {
                rson[p] = r;
                dad[r] = p;
                return;
            }
        } else {
            if (lson[p] != NIL)
                p = lson[p];
            else {
                lson[p] = r;
                dad[r] = p;
                return;
            }
        }
        for (i = 1; i < F; i++)
            if ((cmp = key[i] - text_buf[p + i]) != 0) break;
        if (i > THRESHOLD) {
            if (i > match_length) {
                match_position = (r - p) & (N - 1);
                if ((match_length = i) >= F) break;
            } else if (i == match_length) {
                if ((temp = (r - p) & (N - 1)) < match_position) match_position = temp;
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
    dad[p] = NIL;
}

void DeleteNode(int p) {
    int q;

    if (dad[p] == NIL) return;
    if (rson[p] == NIL)
        q = lson[p];
    else if (lson[p] == NIL)
        q = rson[p];
    else {
        q = lson[p];
        if (rson[q] != NIL) {
            do {
                q = rson[q];
            } while (rson[q] != NIL);
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
    dad[p] = NIL;
}

void StartModel(void) {
    int ch, sym, i;

    sym_cum[N_CHAR] = 0;
    for (sym = N_CHAR; sym >= 1; sym--) {
        ch = sym - 1;
        char_to_sym[ch] = sym;
        sym_to_char[sym] = ch;
        sym_freq[sym] = 1;
        sym_cum[sym - 1] = sym_cum[sym] + sym_freq[sym];
    }
    sym_freq[0] = 0;
    position_cum[N] = 0;
    for (i = N; i >= 1; i--) position_cum[i - 1] = position_cum[i] + 10000 / (i + 200);
}

void UpdateModel(int sym) {
    int i, c, ch_i, ch_sym;

    if (sym_cum[0] >= MAX_CUM) {
        c = 0;
        for (i = N_CHAR; i > 0; i--) {
            sym_cum[i] = c;
            c += (sym_freq[i] = (sym_freq[i] + 1) >> 1);
        }
        sym_cum[0] = c;
    }
    for (i = sym; sym_freq[i] == sym_freq[i - 1]; i--)
        ;
    if (i < sym) {
        ch_i = sym_to_char[i];
        ch_sym = sym_to_char[sym];
        sym_to_char[i] = ch_sym;
        sym_to_char[sym] = ch_i;
        char_to_sym[ch_i] = sym;
        char_to_sym[ch_sym] = i;
    }
    sym_freq[i]++;
    while (--i >= 0) sym_cum[i]++;
}

static void Output(int bit) {
    PutBit(bit);
    for (; shifts > 0; shifts--) PutBit(!bit);
}

void EncodeChar(int ch) {
    int sym;
    unsigned long int range;

    sym = char_to_sym[ch];
    range = high - low;
    high = low + (range * sym_cum[sym - 1]) / sym_cum[0];
    low += (range * sym_cum[sym]) / sym_cum[0];
    for (;;) {
        if (high <= Q2)
            Output(0);
        else if (low >= Q2) {
            Output(1);
            low -= Q2;
            high -= Q2;
        } else if (low >= Q1 && high <= Q3) {
            shifts++;
            low -= Q1;
            high -= Q1;
        } else
            break;
        low += low;
        high += high;
    }
    UpdateModel(sym);
}

void EncodePosition(int position) {
    unsigned long int range;

    range = high - low;
    high = low + (range * position_cum[position]) / position_cum[0];
    low += (range * position_cum[position + 1]) / position_cum[0];
    for (;;) {
        if (high <= Q2)
            Output(0);
        else if (low >= Q2) {
            Output(1);
            low -= Q2;
            high -= Q2;
        } else if (low >= Q1 && high <= Q3) {
            shifts++;
            low -= Q1;
            high -= Q1;
        } else
            break;
        low += low;
        high += high;
    }
}

void EncodeEnd(void) {
    shifts++;
    if (low < Q1)
        Output(0);
    else
        Output(1);
    FlushBitBuffer();
}

int BinarySearchSym(unsigned int x) {
    int i, j, k;

    i = 1;
    j = N_CHAR;
    while (i < j) {
        k = (i + j) / 2;
        if (sym_cum[k] > x)
            i = k + 1;
        else
            j = k;
    }
    return i;
}

int BinarySearchPos(unsigned int x) {
    int i, j, k;

    i = 1;
    j = N;
    while (i < j) {
        k = (i + j) / 2;
        if (position_cum[k] > x)
            i = k + 1;
        else
            j = k;
    }
    return i - 1;
}

void StartDecode(void) {
    int i;
    for (i = 0; i < M + 2; i++) value = 2 * value + GetBit();
}

int DecodeChar(void) {
    int sym, ch;
    unsigned long int range;

    range = high - low;
    sym = BinarySearchSym((unsigned int)(((value - low + 1) * sym_cum[0] - 1) / range));
    high = low + (range * sym_cum[sym - 1]) / sym_cum[0];
    low += (range * sym_cum[sym]) / sym_cum[0];
    for (;;) {
        if (low >= Q2) {
            value -= Q2;
            low -= Q2;
            high -= Q2;
        } else if (low >= Q1 && high <= Q3) {
            value -= Q1;
            low -= Q1;
            high -= Q1;
        } else if (high > Q2)
            break;
        low += low;
        high += high;
        value = 2 * value + GetBit();
    }
    ch = sym_to_char[sym];
    UpdateModel(sym);
    return ch;
}

int DecodePosition(void) {
    int position;
    unsigned long int range;

    range = high - low;
    position = BinarySearchPos((unsigned int)(((value - low + 1) * position_cum[0] - 1) / range));
    high = low + (range * position_cum[position]) / position_cum[0];
    low += (range * position_cum[position + 1]) / position_cum[0];
    for (;;) {
        if (low >= Q2) {
            value -= Q2;
            low -= Q2;
            high -= Q2;
        } else if (low >= Q1 && high <= Q3) {
            value -= Q1;
            low -= Q1;
            high -= Q1;
        } else if (high > Q2)
            break;
        low += low;
        high += high;
        value = 2 * value + GetBit();
    }
    return position;
}

void Encode(void) {
    int i, c, len, r, s, last_match_length;

    textsize = infile->size();
    for (i = 0; i < 4; i++) putc_((int)(textsize >> (8 * i)) & 0xFF);
    codesize += 4;
    if (textsize == 0) return;
    textsize = 0;
    StartModel();
    InitTree();
    s = 0;
    r = N - F;
    for (i = s; i < r; i++) text_buf[i] = ' ';
    for (len = 0; len < F && (c = getc_()) != EOF; len++) text_buf[r + len] = c;
    textsize = len;
    for (i = 1; i <= F; i++) InsertNode(r - i);
    InsertNode(r);
    do {
        if (match_length > len) match_length = len;
        if (match_length <= THRESHOLD) {
            match_length = 1;
            EncodeChar(text_buf[r]);
        } else {
            EncodeChar(255 - THRESHOLD + match_length);
            EncodePosition(match_position - 1);
        }
        last_match_length = match_length;
        for (i = 0; i < last_match_length && (c = getc_()) != EOF; i++) {
            DeleteNode(s);
            text_buf[s] = c;
            if (s < F - 1) text_buf[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertNode(r);
        }
        textsize += i;
        while (i++ < last_match_length) {
            DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) InsertNode(r);
        }
    } while (len > 0);
    EncodeEnd();
}

// Unlike the original this stops at textsize inside a match too: a damaged stream could otherwise
// run the reference past the size it is compared at.
void Decode(void) {
    int i, j, k, r, c;
    unsigned long int count;

    textsize = 0;
    for (i = 0; i < 4; i++) {
        c = getc_();
        if (c == EOF) return;
        textsize |= (unsigned long)c << (8 * i);
    }
    if (textsize == 0) return;
    StartDecode();
    StartModel();
    for (i = 0; i < N - F; i++) text_buf[i] = ' ';
    r = N - F;
    for (count = 0; count < textsize;) {
        c = DecodeChar();
        if (c < 256) {
            putc_(c);
            text_buf[r++] = c;
            r &= (N - 1);
            count++;
        } else {
            i = (r - DecodePosition() - 1) & (N - 1);
            j = c - 255 + THRESHOLD;
            for (k = 0; k < j && count < textsize; k++) {
                c = text_buf[(i + k) & (N - 1)];
                putc_(c);
                text_buf[r++] = c;
                r &= (N - 1);
                count++;
            }
        }
    }
}

#undef N
#undef F
#undef THRESHOLD
#undef NIL
#undef M
#undef Q1
#undef Q2
#undef Q3
#undef Q4
#undef MAX_CUM
#undef N_CHAR

std::vector<uint8_t> EncodeBytes(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    Reset(&data, &out);
    Encode();
    return out;
}

std::vector<uint8_t> DecodeBytes(const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    Reset(&payload, &out);
    Decode();
    return out;
}

}  // namespace published

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed, int alphabet = 256) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = uint8_t(random() % unsigned(alphabet));
    return bytes;
}

// Decodes with our decoder into a buffer guarded on both sides; fails the test on any write
// outside the bytes the decoder is allowed to fill.
std::vector<uint8_t> DecodeGuarded(const std::vector<uint8_t>& payload, size_t capacity,
                                   uint32_t* declared = nullptr) {
    const uint8_t kGuard = 0xA5;
    const size_t kPad = 32;
    std::vector<uint8_t> buffer(capacity + 2 * kPad, kGuard);
    LzariDecoder decoder;
    uint32_t size = decoder.Decode(payload.data(), payload.size(), buffer.data() + kPad, capacity);
    if (declared) *declared = size;
    size_t written = size < capacity ? size : capacity;
    for (size_t i = 0; i < kPad; i++) EXPECT_EQ(buffer[i], kGuard) << "write before the buffer";
    for (size_t i = kPad + written; i < buffer.size(); i++)
        EXPECT_EQ(buffer[i], kGuard) << "write past " << written;
    return std::vector<uint8_t>(buffer.begin() + kPad, buffer.begin() + kPad + written);
}

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    uint32_t declared = 0;
    std::vector<uint8_t> decoded = DecodeGuarded(payload, data.size(), &declared);
    EXPECT_EQ(declared, data.size());
    return decoded;
}

std::vector<uint8_t> ShippedText() {
    ArchiveSources sources;
    std::u16string text;
    std::string error;
    EXPECT_TRUE(ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &sources, &error)) << error;
    EXPECT_TRUE(BuildArchiveText(sources, &text, &error)) << error;
    return Utf16LeBytes(text);
}

struct Sample {
    const char* name;
    std::vector<uint8_t> data;
};

// Inputs that reach the coder's corners: nothing, one byte, the all-space start of the ring
// (matches against the pre-filled window), runs long enough to halve the model (total 0x7FFF),
// every byte value, incompressible data beyond one ring, and text shorter than one look-ahead.
std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    samples.push_back({"empty", {}});
    samples.push_back({"one byte", {0x41}});
    samples.push_back({"two bytes", {0x00, 0xFF}});
    samples.push_back({"short text", Bytes("##=English\tEnglisch\r\n20=Exit\r\n")});
    samples.push_back({"spaces", std::vector<uint8_t>(5000, ' ')});
    samples.push_back({"zeros", std::vector<uint8_t>(100000, 0)});
    std::vector<uint8_t> all;
    for (int round = 0; round < 40; round++)
        for (int b = 0; b < 256; b++) all.push_back(uint8_t(b * 7 + round));
    samples.push_back({"every byte", all});
    samples.push_back({"random", RandomBytes(50000, 1)});
    samples.push_back({"random four letters", RandomBytes(70000, 2, 4)});
    std::string repetitive;
    for (int i = 0; i < 3000; i++)
        repetitive += "press the key [" + std::to_string(i % 4 + 1) + "] to copy\r\n";
    samples.push_back({"repetitive", Bytes(repetitive)});
    samples.push_back({"shipped archive text", ShippedText()});
    return samples;
}

TEST(Lzari, RoundTripsEverySample) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(RoundTrip(sample.data), sample.data);
    }
}

TEST(Lzari, EncoderMatchesPublishedEncoderByteForByte) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(LzariEncode(sample.data.data(), sample.data.size()), published::EncodeBytes(sample.data));
    }
}

TEST(Lzari, DecodersAgreeBothWays) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        std::vector<uint8_t> ours = LzariEncode(sample.data.data(), sample.data.size());
        std::vector<uint8_t> theirs = published::EncodeBytes(sample.data);
        EXPECT_EQ(published::DecodeBytes(ours), sample.data);
        EXPECT_EQ(DecodeGuarded(theirs, sample.data.size()), sample.data);
    }
}

// Payloads that are not streams the encoder made: our decoder must produce exactly what the
// published decoder produces, including copies from ring positions no literal has written yet.
TEST(Lzari, DecodesDamagedStreamsLikeThePublishedDecoder) {
    for (uint32_t seed = 1; seed <= 40; seed++) {
        SCOPED_TRACE(seed);
        std::vector<uint8_t> payload = RandomBytes(1 + seed * 37, seed);
        uint32_t size = 6000 + seed;
        for (int i = 0; i < 4; i++) payload.insert(payload.begin() + i, uint8_t(size >> (8 * i)));
        EXPECT_EQ(DecodeGuarded(payload, size), published::DecodeBytes(payload));
    }
}

TEST(Lzari, CapacityBelowDeclaredSizeWritesOnlyCapacity) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (size_t capacity : {size_t(0), size_t(1), size_t(3), size_t(4095), data.size() - 1}) {
        SCOPED_TRACE(capacity);
        uint32_t declared = 0;
        std::vector<uint8_t> decoded = DecodeGuarded(payload, capacity, &declared);
        EXPECT_EQ(declared, data.size());
        EXPECT_EQ(decoded, std::vector<uint8_t>(data.begin(), data.begin() + capacity));
    }
}

// Everything after the stream reads as 1 bits (or is filler): the encoder's final bits make the
// text independent of what follows, so trailing bytes must not change it.
TEST(Lzari, BytesAfterTheStreamDoNotChangeTheText) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (uint8_t filler : {uint8_t(' '), uint8_t(0x00), uint8_t(0xFF)}) {
        std::vector<uint8_t> padded = payload;
        padded.insert(padded.end(), 4096, filler);
        EXPECT_EQ(DecodeGuarded(padded, data.size()), data) << "filler " << int(filler);
    }
}

TEST(Lzari, TruncatedStreamStillEndsAtTheDeclaredSize) {
    std::vector<uint8_t> data = ShippedText();
    std::vector<uint8_t> payload = LzariEncode(data.data(), data.size());
    for (size_t keep : {size_t(4), size_t(5), size_t(6), payload.size() / 2, payload.size() - 1}) {
        SCOPED_TRACE(keep);
        std::vector<uint8_t> truncated(payload.begin(), payload.begin() + keep);
        uint32_t declared = 0;
        std::vector<uint8_t> decoded = DecodeGuarded(truncated, data.size(), &declared);
        EXPECT_EQ(declared, data.size());
        EXPECT_EQ(decoded.size(), data.size());
        EXPECT_EQ(decoded, published::DecodeBytes(truncated));
    }
}

TEST(Lzari, DeclaredSize) {
    const uint8_t payload[] = {0x9E, 0x95, 0x01, 0x00, 0xFF};
    EXPECT_EQ(ReadDeclaredSize(payload, 5), 103838u);  // the size the shipped text had, little-endian
    EXPECT_EQ(ReadDeclaredSize(payload, 4), 103838u);
    EXPECT_EQ(ReadDeclaredSize(payload, 3), 0u);  // too short to hold the size: nothing to read
    EXPECT_EQ(ReadDeclaredSize(nullptr, 8), 0u);
    const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadDeclaredSize(huge, 4), 0xFFFFFFFFu);
}

TEST(Lzari, ShortPayloadDecodesToNothing) {
    for (size_t size = 0; size < 4; size++) {
        std::vector<uint8_t> payload(size, 0x41);
        uint32_t declared = 1;
        EXPECT_TRUE(DecodeGuarded(payload, 16, &declared).empty());
        EXPECT_EQ(declared, 0u);
    }
}

// A hostile size with a small buffer must neither write past the buffer nor grind through
// four billion symbols: the decode stops once the buffer is full.
TEST(Lzari, HugeDeclaredSizeStopsAtCapacity) {
    std::vector<uint8_t> payload = {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34};
    uint32_t declared = 0;
    EXPECT_EQ(DecodeGuarded(payload, 1000, &declared).size(), 1000u);
    EXPECT_EQ(declared, 0xFFFFFFFFu);
}

TEST(Lzari, DecoderCanBeReused) {
    std::vector<uint8_t> a = Bytes("first text, first text");
    std::vector<uint8_t> b = RandomBytes(3000, 9);
    std::vector<uint8_t> pa = LzariEncode(a.data(), a.size());
    std::vector<uint8_t> pb = LzariEncode(b.data(), b.size());
    LzariDecoder decoder;
    std::vector<uint8_t> out(b.size());
    decoder.Decode(pa.data(), pa.size(), out.data(), a.size());
    decoder.Decode(pb.data(), pb.size(), out.data(), out.size());
    EXPECT_EQ(out, b);
}

}  // namespace
