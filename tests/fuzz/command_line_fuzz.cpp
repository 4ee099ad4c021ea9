// The command line as any program may start Huepeek with it: the words are found exactly where a
// plain substring search finds them, and only the exact palette argument means palette mode.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "base/core/command_line.h"
#include "fuzz_input.h"

namespace {

bool Has(const std::u16string& text, const char16_t* word) {
    return text.find(word) != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char16_t> const units = AsUtf16(data, size);
    // The program sees the command line up to its first zero.
    std::u16string const text(units.data());

    CommandLineFlags const flags = ParseCommandLine(units.data());
    if (flags.background != Has(text, u"-bg")) abort();
    if (flags.hide != Has(text, u"hide")) abort();
    if (flags.directPicker != Has(text, u"huepeek")) abort();
    if (flags.palette != (text == kPaletteArgument)) abort();
    return 0;
}
