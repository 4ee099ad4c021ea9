#include "base/core/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char16_t* commandLine;
    bool background, hide, palette, directPicker;
};

// Substring tests, case-sensitive; the palette argument only as the whole command line (otherwise
// it contains "huepeek" and starts the picker).
Case const kCases[] = {
    {nullptr, false, false, false, false},
    {u"", false, false, false, false},
    {u"-bg", true, false, false, false},
    {u"x-bgx", true, false, false, false},
    {u"-bg -startup", true, false, false, false},
    {u"hide", false, true, false, false},
    {u"-BG HIDE", false, false, false, false},
    {u"huepeek", false, false, false, true},
    {u"xhuepeeky", false, false, false, true},
    {u"HUEPEEK", false, false, false, false},
    {u"Huepeek", false, false, false, false},
    {u"last_rgb_color_from_the_huepeek", false, false, true, true},
    {u"last_rgb_color_from_the_huepeek ", false, false, false, true},
    {u" last_rgb_color_from_the_huepeek", false, false, false, true},
    {u"last_rgb_color_from_the_huepee", false, false, false, false},
    {u"-bg huepeek hide", true, true, false, true},
};

TEST(CommandLine, WordsSetTheirFlags) {
    for (const Case& c : kCases) {
        CommandLineFlags const flags = ParseCommandLine(c.commandLine);
        SCOPED_TRACE(c.commandLine ? std::u16string(c.commandLine).size() : 0);
        EXPECT_EQ(c.background, flags.background);
        EXPECT_EQ(c.hide, flags.hide);
        EXPECT_EQ(c.palette, flags.palette);
        EXPECT_EQ(c.directPicker, flags.directPicker);
    }
}

}  // namespace
