#include "settings/core/settings_number.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

struct LanguageSlot {
    unsigned char primary;
    unsigned char index;
};

// Ordered as the slots of the language archive.
const LanguageSlot kLanguageSlots[] = {
    {0x07, 0},  {0x12, 2},  {0x0C, 3},  {0x11, 4},  {0x19, 5},  {0x0A, 6},  {0x10, 7},  {0x04, 8},
    {0x16, 9},  {0x1E, 10}, {0x01, 11}, {0x62, 12}, {0x15, 13}, {0x14, 14}, {0x3C, 15}, {0x13, 16},
    {0x2A, 18}, {0x1D, 19}, {0x06, 20}, {0x36, 22}, {0x52, 23}, {0x29, 24}, {0x0D, 25}, {0x39, 26},
    {0x3E, 27}, {0x21, 28}, {0x64, 29}, {0x0B, 30}, {0x05, 31}, {0x22, 32}, {0x0E, 33}, {0x1A, 34},
};

}  // namespace

int ParseSettingNumber(const char16_t* text) {
    if (!text) return 0;
    while (IsBlank(*text)) ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-') negative = *text++ == u'-';
    unsigned value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) value = value * 10u + unsigned(*text - u'0');
    if (negative) value = 0u - value;
    return int(value);
}

int LimitSettingNumber(int value, int minimum, int maximum) {
    if (minimum == -1 || maximum == -1) return value;
    if (value > maximum) value = maximum;
    if (value < minimum) value = minimum;
    return value;
}

int AutomaticLanguageIndex(unsigned primaryLanguage) {
    for (const LanguageSlot& slot : kLanguageSlots)
        if (slot.primary == primaryLanguage) return slot.index;
    return 1;
}
