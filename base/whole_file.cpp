#include "base/whole_file.h"

#include "base/scoped_handle.h"

FileBytes::~FileBytes() {
    if (data) VirtualFree(data, 0, MEM_RELEASE);
}

FileRead ReadWholeFile(const wchar_t* path, size_t maxSize, FileBytes* out) {
    ScopedKernelHandle const file(CreateFileW(path, GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Held()) return FileRead::kUnreadable;
    LARGE_INTEGER length = {};
    FileRead result = FileRead::kUnreadable;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) {
        result = FileRead::kUnreadable;
    } else if (ULONGLONG(length.QuadPart) > maxSize) {
        result = FileRead::kTooLarge;
    } else {
        size_t const n = size_t(length.QuadPart);
        // One byte more: an empty file still gets pages.
        BYTE* const data =
            static_cast<BYTE*>(VirtualAlloc(nullptr, n + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        size_t done = 0;
        while (data && done < n) {
            DWORD got = 0;
            DWORD const want = n - done < 0x40000000 ? DWORD(n - done) : 0x40000000;
            if (!ReadFile(file, data + done, want, &got, nullptr) || got == 0) break;
            done += got;
        }
        if (data && done == n) {
            if (out->data) VirtualFree(out->data, 0, MEM_RELEASE);
            out->data = data;
            out->size = n;
            result = FileRead::kRead;
        } else if (data) {
            VirtualFree(data, 0, MEM_RELEASE);
        }
    }
    return result;
}
