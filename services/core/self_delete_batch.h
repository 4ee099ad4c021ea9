#pragma once
#include <stddef.h>

// The batch file that uninstall leaves in the temporary folder: it deletes the program's exe as
// soon as the ended process lets go of it, then the portable settings file, then itself.

// How often the batch tries, with a pause of about a second after each failed try: the program
// ends within moments, so a minute means the exe cannot be deleted (no rights to its folder).
int const kSelfDeleteTries = 60;

// The batch's file name: the module path's file name (after the last "\" or "/") followed by
// "_selfdestruct.bat", so that copies of the program under other names use other batches.
// False, with an empty text, when it does not fit.
bool SelfDeleteBatchName(const char16_t* modulePath, char16_t* out, size_t capacity);

// The batch's text, lines ended by CR LF. exePath and settingsPath (empty or null: no settings
// file) are written as they stand inside double quotes, each "%" doubled so that cmd does not read
// it as a variable. False, with an empty text, when it does not fit: a cut path could name
// another file.
bool BuildSelfDeleteBatch(const char16_t* exePath, const char16_t* settingsPath, int tries, char16_t* out,
                          size_t capacity);
