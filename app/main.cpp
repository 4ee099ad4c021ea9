#include <windows.h>

#include <stdlib.h>

#include "app/startup.h"

// The exe starts here instead of in the C runtime's start-up code (about 10 KB): the program needs
// only what follows from it. msvcrt.dll sets itself up when it loads, so its heap and string
// functions work without that code; nothing reads the runtime's argument vector or its stdio. The
// link refuses data imported without a declaration (auto-import), whose fix-ups that code made.

// The linker's lists of static constructors and destructors: a -1, the functions, a null.
extern "C" void (*__CTOR_LIST__[])();
extern "C" void (*__DTOR_LIST__[])();

namespace {

// Static destructors and the destructors of function-local statics register here, as the runtime's
// start-up code would have them; they run in reverse order before the process exits. 32 is the
// least the C standard asks for; the exe registers about ten.
int const kMaxExitFunctions = 32;
void (*g_exitFunctions[kMaxExitFunctions])();
LONG g_exitFunctionCount = 0;

// The list holds the constructors in the reverse of their order (the highest priority last).
void RunStaticConstructors() {
    int count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (int i = count; i > 0; --i) __CTOR_LIST__[i]();
}

void RunExitFunctions() {
    while (g_exitFunctionCount > 0) {
        --g_exitFunctionCount;
        g_exitFunctions[g_exitFunctionCount]();
    }
    for (int i = 1; __DTOR_LIST__[i]; ++i) __DTOR_LIST__[i]();
}

// The arguments after the program's name, as the runtime hands them to wWinMain: the name ends at
// the first blank outside double quotes, and the blanks after it are skipped.
const wchar_t* ArgumentsOf(const wchar_t* line) {
    bool quoted = false;
    for (; *line > L' ' || (*line && quoted); ++line)
        if (*line == L'"') quoted = !quoted;
    while (*line && *line <= L' ') ++line;
    return line;
}

}  // namespace

extern "C" int atexit(void (*function)()) {
    LONG const slot = InterlockedIncrement(&g_exitFunctionCount) - 1;
    if (slot >= kMaxExitFunctions) {
        InterlockedDecrement(&g_exitFunctionCount);
        return -1;
    }
    g_exitFunctions[slot] = function;
    return 0;
}

// The deleting destructors of the classes with a virtual destructor name it; nothing uses new.
void operator delete(void* block) noexcept {
    free(block);
}
void operator delete(void* block, size_t) noexcept {
    free(block);
}

extern "C" void HuepeekStart() {
    RunStaticConstructors();
    int const exitCode = RunHuepeek(GetModuleHandleW(nullptr), ArgumentsOf(GetCommandLineW()));
    RunExitFunctions();
    ExitProcess(static_cast<UINT>(exitCode));
}
