#pragma once

// The words of the command line (without the program's own path). Tests are case-sensitive
// substring tests, except the palette argument, which must be the whole command line.
struct CommandLineFlags {
    bool background;    // "-bg": the main dialog is not shown at start
    bool hide;          // "hide": recognised, but no part of the program acts on it
    bool palette;       // exactly "last_rgb_color_from_the_huepeek": run the colour dialog and end
    bool directPicker;  // "huepeek": open the picker at once; click or Esc ends the process
};

extern const char16_t kPaletteArgument[];

CommandLineFlags ParseCommandLine(const char16_t* commandLine);
