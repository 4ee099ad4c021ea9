// Stored settings (and the colour dialog's fields) are read with ParseSettingNumber, the keys of
// language files with ParseKeyNumber: any text, no undefined behaviour, and the two agree wherever
// neither can overflow. What the program writes ("%d") reads back unchanged.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "base/core/text.h"
#include "fuzz_input.h"
#include "settings/core/settings_table.h"

namespace {

// Digits after the white space and the sign.
size_t DigitCount(const char16_t* text) {
    while (IsBlank(*text)) ++text;
    if (*text == u'+' || *text == u'-') ++text;
    size_t n = 0;
    while (text[n] >= u'0' && text[n] <= u'9') ++n;
    return n;
}

void CheckRoundTrip(int value) {
    char16_t text[kDecimalChars];
    FormatDecimal(value, text);
    if (ParseSettingNumber(text) != value || ParseKeyNumber(text) != value) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char16_t> const text = AsUtf16(data, size);

    int const setting = ParseSettingNumber(text.data());
    int const key = ParseKeyNumber(text.data());
    if (DigitCount(text.data()) <= 9 && setting != key) abort();
    CheckRoundTrip(setting);
    CheckRoundTrip(key);

    // Bounds taken from the input too: with both given the value ends up between them (the minimum
    // wins when it is the larger), with either -1 it stays as it is.
    int const minimum = size >= 4 ? int(data[0] % 8) - 2 : -1;
    int const maximum = size >= 4 ? int(data[1] % 8) - 2 : -1;
    int const limited = LimitSettingNumber(setting, minimum, maximum);
    if (minimum == -1 || maximum == -1) {
        if (limited != setting) abort();
    } else if (limited != minimum && (limited > maximum || limited < minimum)) {
        abort();
    }
    return 0;
}
