#include <windows.h>

#include <stdlib.h>

#include "app/startup.h"

extern "C" void __main();

namespace {
const wchar_t* ArgumentsOf(const wchar_t* line) {
    bool quoted = false;
    for (; *line > L' ' || (*line && quoted); ++line)
        if (*line == L'"') quoted = !quoted;
    while (*line && *line <= L' ') ++line;
    return line;
}
}  // namespace

extern "C" void HuepeekStart() {
    __main();
    exit(RunHuepeek(GetModuleHandleW(nullptr), ArgumentsOf(GetCommandLineW())));
}
