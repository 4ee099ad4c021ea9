#include "settings/core/language_slots.h"

namespace {

struct LanguageSlot {
    unsigned char primary;  // LANG_* of winnt.h
    unsigned char slot;
};

LanguageSlot const kLanguageSlots[] = {
    {0x07, 0},   // German
    {0x12, 2},   // Korean
    {0x0C, 3},   // French
    {0x11, 4},   // Japanese
    {0x19, 5},   // Russian
    {0x0A, 6},   // Spanish
    {0x10, 7},   // Italian
    {0x04, 8},   // Chinese (traditional)
    {0x16, 9},   // Portuguese
    {0x1E, 10},  // Thai
    {0x01, 11},  // Arabic
    {0x62, 12},  // Frisian
    {0x15, 13},  // Polish
    {0x14, 14},  // Norwegian
    {0x3C, 15},  // Irish
    {0x13, 16},  // Dutch
    {0x2A, 18},  // Vietnamese
    {0x1D, 19},  // Swedish
    {0x06, 20},  // Danish
    {0x36, 22},  // Afrikaans
    {0x52, 23},  // Welsh
    {0x29, 24},  // Persian
    {0x0D, 25},  // Hebrew
    {0x39, 26},  // Hindi
    {0x3E, 27},  // Malay
    {0x21, 28},  // Indonesian
    {0x64, 29},  // Filipino
    {0x0B, 30},  // Finnish
    {0x05, 31},  // Czech
    {0x22, 32},  // Ukrainian
    {0x0E, 33},  // Hungarian
    {0x1A, 34},  // Serbian, Croatian and Bosnian share one primary language
};

}  // namespace

int AutomaticLanguageIndex(unsigned primaryLanguage) {
    for (LanguageSlot const& entry : kLanguageSlots)
        if (entry.primary == primaryLanguage) return entry.slot;
    return 1;
}
