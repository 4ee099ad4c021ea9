#include "app/core/command_line.h"

const char16_t kPaletteArgument[] = u"last_rgb_color_from_the_huepeek";

bool ContainsText(const char16_t* text, const char16_t* word) {
    if (!text || !word) return false;
    if (!*word) return true;
    for (; *text; ++text) {
        const char16_t* t = text;
        const char16_t* w = word;
        while (*t && *w && *t == *w) ++t, ++w;
        if (!*w) return true;
    }
    return false;
}

bool EqualsText(const char16_t* a, const char16_t* b) {
    if (!a || !b) return false;
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

CommandLineFlags ParseCommandLine(const char16_t* commandLine) {
    CommandLineFlags flags = {};
    if (!commandLine) return flags;
    flags.background = ContainsText(commandLine, u"-bg");
    flags.hide = ContainsText(commandLine, u"hide");
    flags.palette = EqualsText(commandLine, kPaletteArgument);
    flags.directPicker = ContainsText(commandLine, u"huepeek");
    return flags;
}
