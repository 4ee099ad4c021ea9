#include "lang/core/lzari_model.h"

using namespace lzari;

void LzariModel::Start() {
    symCum[kCharCount] = 0;
    for (int sym = kCharCount; sym >= 1; sym--) {
        int ch = sym - 1;
        charToSym[ch] = uint16_t(sym);
        symToChar[sym] = uint16_t(ch);
        symFreq[sym] = 1;
        symCum[sym - 1] = uint16_t(symCum[sym] + symFreq[sym]);
    }
    symFreq[0] = 0;  // sentinel: differs from every real frequency, so the swap search stops at 1
    // Nearer positions are likelier; the total stays below 2^16 (about 30,600).
    positionCum[kRingSize] = 0;
    for (int i = kRingSize; i >= 1; i--) positionCum[i - 1] = uint16_t(positionCum[i] + 10000 / (i + 200));
}

void LzariModel::Update(int sym) {
    if (symCum[0] >= kMaxCum) {
        uint32_t c = 0;
        for (int i = kCharCount; i > 0; i--) {
            symCum[i] = uint16_t(c);
            symFreq[i] = uint16_t((symFreq[i] + 1) >> 1);
            c += symFreq[i];
        }
        symCum[0] = uint16_t(c);
    }
    int i = sym;
    while (symFreq[i] == symFreq[i - 1]) i--;
    if (i < sym) {
        int chI = symToChar[i];
        int chSym = symToChar[sym];
        symToChar[i] = uint16_t(chSym);
        symToChar[sym] = uint16_t(chI);
        charToSym[chI] = uint16_t(sym);
        charToSym[chSym] = uint16_t(i);
    }
    symFreq[i]++;
    while (--i >= 0) symCum[i]++;
}
