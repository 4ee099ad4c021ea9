#pragma once
#include <windows.h>

// Uninstall: once the user has said yes, leaves a batch in the temporary folder that deletes the
// exe (and a portable settings file) when the program has ended, starts it and opens the uninstall
// page. The registry settings stay. True when that is done: the caller then removes its autostart
// entry and ends the program. A step that cannot be done is told to the user, and then nothing has
// changed (false) and the program runs on.
bool Uninstall();

// A step of uninstall that cannot be done: the text ID of what failed (0 when the step went
// through), the file it concerns and the system's error code that says why.
struct UninstallFault {
    int what;
    const wchar_t* path;
    DWORD error;
};

// The batch's full path: the temporary folder, the exe's file name and "_selfdestruct.bat".
size_t const kBatchPathChars = MAX_PATH + 1 + 256 + 32;

// Writes "<exe file name>_selfdestruct.bat" into the temporary folder for exePath and settingsPath
// (null or empty: none), replacing an older one, and gives its full path in batchPath. Paths the
// console's code page holds exactly are written in the batch's text in that code page, the one cmd
// reads it in; others are read from variables that StartSelfDeleteBatch sets.
UninstallFault WriteSelfDeleteBatch(const wchar_t* exePath, const wchar_t* settingsPath,
                                    wchar_t (&batchPath)[kBatchPathChars]);
// Starts the batch hidden, in the temporary folder, with the variables it may read. process (may
// be null) receives the handle of its cmd, which the caller closes.
UninstallFault StartSelfDeleteBatch(const wchar_t* batchPath, const wchar_t* exePath,
                                    const wchar_t* settingsPath, HANDLE* process);
