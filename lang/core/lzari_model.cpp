#include "lang/core/lzari_model.h"

using namespace lzari;

void LzariModel::Start() {
    // Every character starts with a count of 1, character c at rank c + 1.
    for (int rank = 1; rank <= kCharCount; rank++) {
        symToChar[rank] = uint16_t(rank - 1);
        charToSym[rank - 1] = uint16_t(rank);
        symFreq[rank] = 1;
    }
    // Below every real count (counts never fall under 1), so the search for the first rank of a count
    // in Update stops at rank 1.
    symFreq[0] = 0;
    for (int rank = 0; rank <= kCharCount; rank++) symCum[rank] = uint16_t(kCharCount - rank);
    // Distance d owns 10000 / (d + 200): nearer strings are likelier. The total is about 30,600, so
    // every product the coder forms stays within 32 bits.
    positionCum[kRingSize] = 0;
    for (int d = kRingSize; d >= 1; d--) positionCum[d - 1] = uint16_t(positionCum[d] + 10000 / (d + 200));
}

void LzariModel::Update(int rank) {
    if (symCum[0] >= kMaxCum) {
        symCum[kCharCount] = 0;
        for (int r = kCharCount; r >= 1; r--) {
            symFreq[r] = uint16_t((symFreq[r] + 1) / 2);
            symCum[r - 1] = uint16_t(symCum[r] + symFreq[r]);
        }
    }
    int first = rank;
    while (symFreq[first - 1] == symFreq[rank]) first--;
    if (first != rank) {
        // Equal counts: only the characters trade places.
        int const moving = symToChar[rank];
        int const displaced = symToChar[first];
        symToChar[first] = uint16_t(moving);
        symToChar[rank] = uint16_t(displaced);
        charToSym[moving] = uint16_t(first);
        charToSym[displaced] = uint16_t(rank);
    }
    symFreq[first]++;
    for (int r = 0; r < first; r++) symCum[r]++;
}
