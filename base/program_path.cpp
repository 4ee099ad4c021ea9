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

HeapBuffer<wchar_t> AnyLengthPath(const wchar_t* path) {
    bool const prefixed =
        path[0] == L'\\' && path[1] == L'\\' && (path[2] == L'?' || path[2] == L'.') && path[3] == L'\\';
    bool const network = !prefixed && path[0] == L'\\' && path[1] == L'\\';
    const wchar_t* const prefix = prefixed ? L"" : network ? L"\\\\?\\UNC" : L"\\\\?\\";
    HeapBuffer<wchar_t> copy(size_t(lstrlenW(prefix)) + size_t(lstrlenW(path)) + 1);
    if (copy.get()) {
        lstrcpyW(copy.get(), prefix);
        lstrcatW(copy.get(), network ? path + 1 : path);
    }
    return copy;
}
