#pragma once
#include <stddef.h>

// The batch file that uninstall leaves in the temporary folder: it deletes the program's exe as
// soon as the ended process lets go of it, then the portable settings file, then itself.

// How often the batch tries, with a pause of about a second after each failed try: the program
// ends within moments, so a minute means the exe cannot be deleted (no rights to its folder).
int const kSelfDeleteTries = 60;

// cmd cannot work on a path of MAX_PATH characters or more, terminator included.
size_t const kBatchPathLimit = 260;

// The batch's file name: the module path's file name (after the last "\" or "/") followed by
// "_selfdestruct.bat", so that copies of the program under other names use other batches.
// False, with an empty text, when it does not fit.
bool SelfDeleteBatchName(const char16_t* modulePath, char16_t* out, size_t capacity);

// A file the batch deletes. Its path stands in the batch's text where the console's code page
// holds it exactly; otherwise the batch reads it from an environment variable that the program
// sets for the batch's process, which cmd takes as UTF-16 whatever the code page. A short (8.3)
// form is never used: short names are not unique over the batch's lifetime, and a "?" of a
// failed conversion is a wildcard.
struct BatchFile {
    const char16_t* path;  // null or empty: none
    bool throughVariable;
};

// The variables that name the exe and the settings file for the batch.
extern const char16_t kSelfDeleteExeVariable[];
extern const char16_t kSelfDeleteSettingsVariable[];

// Why a path cannot be handed to cmd so that it names exactly that file.
enum class BatchPathFault {
    kNone,
    kTooLong,   // kBatchPathLimit characters or more
    kPercent,   // a "%" where cmd would read it as the start of a variable
    kNotExact,  // empty, or a wildcard, quote, redirection or control character
};

// For a file the batch deletes: a "%" in its text is doubled, so only one read through a variable
// cannot hold one (some command processors expand the value of a variable again).
BatchPathFault CheckBatchFilePath(const char16_t* path, bool throughVariable);
// For the batch's own path, which the shell hands to cmd on its command line, where no "%" can be
// escaped.
BatchPathFault CheckBatchOwnPath(const char16_t* path);

// The batch's text, lines ended by CR LF. A path in the text stands in double quotes with each "%"
// doubled, so that cmd does not read it as a variable. False, with an empty text, when the exe is
// missing or the text does not fit: a cut path could name another file.
bool BuildSelfDeleteBatch(BatchFile exe, BatchFile settings, int tries, char16_t* out, size_t capacity);
