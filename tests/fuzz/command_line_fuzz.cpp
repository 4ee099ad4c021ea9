// The command line as any program may start Huepeek with it: what the flags do, checked without a
// second parser. The command line ends at its first zero; a word turns its flag on wherever it
// stands, whatever is around it, and in lower case only; the palette argument counts only as the
// whole command line.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "base/core/command_line.h"
#include "fuzz_input.h"

namespace {

bool operator==(const CommandLineFlags& a, const CommandLineFlags& b) {
    return a.background == b.background && a.hide == b.hide && a.palette == b.palette &&
           a.directPicker == b.directPicker;
}

CommandLineFlags Parse(const std::u16string& text) {
    return ParseCommandLine(text.c_str());
}

// ASCII letters in upper case: none of the words can stand in the result.
std::u16string Upper(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    return text;
}

void Check(bool holds) {
    if (!holds) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char16_t> const units = AsUtf16(data, size);
    std::u16string const text(units.data());  // up to the first zero
    CommandLineFlags const flags = ParseCommandLine(units.data());
    Check(flags == Parse(text));

    // The palette argument holds "huepeek": palette mode never comes without it.
    Check(!flags.palette || flags.directPicker);
    Check(!flags.palette || text == kPaletteArgument);

    // Words in any company: text around the command line keeps every flag but the palette.
    for (const char16_t* around : {u"x", u" ", u"-bg", u"HUEPEEK"}) {
        for (const std::u16string& wider : {around + text, text + around}) {
            CommandLineFlags const more = Parse(wider);
            Check(!flags.background || more.background);
            Check(!flags.hide || more.hide);
            Check(!flags.directPicker || more.directPicker);
            Check(!more.palette);
        }
    }
    // Each word added anywhere turns its flag on, and its flag alone where nothing else is there.
    size_t const middle = text.size() / 2;
    Check(Parse(text.substr(0, middle) + u" -bg " + text.substr(middle)).background);
    Check(Parse(text + u"hide").hide);
    Check(Parse(u"huepeek" + text).directPicker);
    Check(Parse(Upper(text) + u" -bg") == CommandLineFlags{true, false, false, false});

    // In upper case no word is there any more.
    Check(Parse(Upper(text)) == CommandLineFlags{});
    return 0;
}
