#include "base/whole_file.h"

FileBytes::~FileBytes() {
    if (data) HeapFree(GetProcessHeap(), 0, data);
}

FileRead ReadWholeFile(const wchar_t* path, size_t maxSize, size_t spare, FileBytes* out) {
    HANDLE const file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileRead::kUnreadable;
    LARGE_INTEGER length = {};
    FileRead result = FileRead::kUnreadable;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) {
        result = FileRead::kUnreadable;
    } else if (ULONGLONG(length.QuadPart) > maxSize) {
        result = FileRead::kTooLarge;
    } else {
        size_t const n = size_t(length.QuadPart);
        BYTE* const data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n + spare));
        size_t done = 0;
        while (data && done < n) {
            DWORD got = 0;
            DWORD const want = n - done < 0x40000000 ? DWORD(n - done) : 0x40000000;
            if (!ReadFile(file, data + done, want, &got, nullptr) || got == 0) break;
            done += got;
        }
        if (data && done == n) {
            if (out->data) HeapFree(GetProcessHeap(), 0, out->data);
            out->data = data;
            out->size = n;
            result = FileRead::kRead;
        } else if (data) {
            HeapFree(GetProcessHeap(), 0, data);
        }
    }
    CloseHandle(file);
    return result;
}
