#include "base/program_path.h"

wchar_t* ReadWholeModulePath(ModuleFileNameFn getModuleFileName) {
    // Long paths (\\?\ prefixes, deep folders) reach 32,767 characters.
    for (DWORD chars = MAX_PATH; chars <= 65536; chars *= 2) {
        wchar_t* buffer = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, chars * sizeof(wchar_t)));
        if (!buffer) return nullptr;
        DWORD const length = getModuleFileName(nullptr, buffer, chars);
        // A cut path fills the buffer exactly (and on XP is not even terminated).
        if (length > 0 && length < chars) return buffer;
        HeapFree(GetProcessHeap(), 0, buffer);
        if (length == 0) return nullptr;
    }
    return nullptr;
}

const wchar_t* ProgramPath() {
    static wchar_t* s_path;
    static wchar_t s_empty[1];
    if (!s_path) s_path = ReadWholeModulePath(GetModuleFileNameW);
    return s_path ? s_path : s_empty;
}
