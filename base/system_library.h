#pragma once
#include <windows.h>

// Libraries loaded at run time come from the system folder only, never from the program's folder
// or the current directory: a portable exe started from a downloads folder must not pick up a DLL
// planted beside it.

// Makes the system folder the default search path for the rest of the run (where the system offers
// SetDefaultDllDirectories) and takes the current directory out of the search.
void RestrictLibrarySearch();

// Loads a DLL by its full path in the system folder.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Loads a DLL that the manifest may redirect to a side-by-side version (comctl32 6, and comdlg32,
// which uses it), searching only the system folder. These are not imported at link time: imports
// are resolved before the program's first instruction, when the exe's own folder is still searched
// for their dependencies (a uxtheme.dll planted there would be loaded).
HMODULE LoadSideBySideLibrary(const wchar_t* name);

// How an entry point is found: GetProcAddress, unless a caller offers a test's stand-in.
using EntryLookup = FARPROC(WINAPI*)(HMODULE module, LPCSTR nameOrOrdinal);

// An entry point looked up at run time by name or ordinal, typed; null when the module or the
// entry is missing.
template <typename Function>
Function GetProcedure(HMODULE module, const char* nameOrOrdinal, EntryLookup lookup = GetProcAddress) {
    if (!module) return nullptr;
    // Through void (*)(): the one function pointer type that every other converts from quietly.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(lookup(module, nameOrOrdinal)));
}
