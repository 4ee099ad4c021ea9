#include "base/core/command_line.h"

#include "base/core/text.h"

const char16_t kPaletteArgument[] = u"last_rgb_color_from_the_huepeek";

CommandLineFlags ParseCommandLine(const char16_t* commandLine) {
    CommandLineFlags flags = {};
    if (!commandLine) return flags;
    flags.background = ContainsText(commandLine, u"-bg");
    flags.hide = ContainsText(commandLine, u"hide");
    flags.palette = EqualsText(commandLine, kPaletteArgument);
    flags.directPicker = ContainsText(commandLine, u"huepeek");
    return flags;
}
