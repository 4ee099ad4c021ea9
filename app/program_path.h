#pragma once

// The full path of the program's own executable, however long: the buffer grows until the whole
// path fits. Computed once; valid until the process ends. Empty text if the system gives nothing.
const wchar_t* ProgramPath();
