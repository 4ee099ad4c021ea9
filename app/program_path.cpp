#include "app/program_path.h"

#include <windows.h>

const wchar_t* ProgramPath() {
    static wchar_t* s_path;
    if (s_path) return s_path;
    // Long paths (\\?\ prefixes, deep folders) reach 32,767 characters.
    for (DWORD chars = MAX_PATH; chars <= 65536; chars *= 2) {
        wchar_t* buffer = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, chars * sizeof(wchar_t)));
        if (!buffer) break;
        DWORD const length = GetModuleFileNameW(nullptr, buffer, chars);
        // A cut path fills the buffer exactly (and on XP is not even terminated).
        if (length > 0 && length < chars) return s_path = buffer;
        HeapFree(GetProcessHeap(), 0, buffer);
        if (length == 0) break;
    }
    static wchar_t s_empty[1];
    return s_empty;
}
