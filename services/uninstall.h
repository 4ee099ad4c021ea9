#pragma once
#include <windows.h>

// Uninstall: once the user has said yes, leaves a batch in the temporary folder that deletes the
// exe (and a portable settings file) when the program has ended and opens the uninstall page. The
// registry settings stay. True when the user said yes: the caller then removes its autostart entry
// and ends the program.
bool Uninstall();

// Writes "<exe file name>_selfdestruct.bat" into the temporary folder for exePath and settingsPath
// (empty: none), replacing an older one, and gives its full path (batchPath holds chars). The
// batch is written in the console's code page, the one cmd reads it in; a path that code page
// cannot hold is written in its short form.
bool WriteSelfDeleteBatch(const wchar_t* exePath, const wchar_t* settingsPath, wchar_t* batchPath,
                          size_t chars);
