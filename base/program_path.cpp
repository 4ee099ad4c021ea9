#include "base/program_path.h"

HeapBuffer<wchar_t> ReadWholeModulePath(ModuleFileNameFn getModuleFileName) {
    // Long paths (\\?\ prefixes, deep folders) reach 32,767 characters.
    for (DWORD chars = MAX_PATH; chars <= 65536; chars *= 2) {
        HeapBuffer<wchar_t> buffer(chars);
        DWORD const length = buffer.get() ? getModuleFileName(nullptr, buffer.get(), chars) : 0;
        // A cut path fills the buffer exactly (and on XP is not even terminated).
        if (length > 0 && length < chars) return buffer;
        if (length == 0) break;
    }
    return HeapBuffer<wchar_t>();
}

const wchar_t* ProgramPath() {
    static wchar_t* s_path;
    static wchar_t s_empty[1];
    // Kept for the whole run.
    if (!s_path) s_path = ReadWholeModulePath(GetModuleFileNameW).Release();
    return s_path ? s_path : s_empty;
}
