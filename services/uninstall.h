#pragma once
#include <windows.h>

// Uninstall: once the user has said yes, removes the autostart entry, leaves a batch in the
// temporary folder that deletes the exe (and a portable settings file) when the program has ended,
// opens the uninstall page and ends the program. The registry settings stay.

// What uninstall needs of the application shell above it.
struct UninstallHost {
    void (*removeAutostart)();
    void (*endProgram)();
};
void Uninstall(const UninstallHost& host);

// Writes "<exe file name>_selfdestruct.bat" into the temporary folder for exePath and settingsPath
// (empty: none), replacing an older one, and gives its full path (batchPath holds chars). The
// batch is written in the console's code page, the one cmd reads it in; a path that code page
// cannot hold is written in its short form.
bool WriteSelfDeleteBatch(const wchar_t* exePath, const wchar_t* settingsPath, wchar_t* batchPath,
                          size_t chars);
