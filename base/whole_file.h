#pragma once
#include <windows.h>

// A whole file read into memory in one piece, with zeroed spare bytes behind its data.

struct FileBytes {
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    BYTE* data = nullptr;  // size + spare bytes from the process heap
    size_t size = 0;
};

enum class FileRead { kRead, kUnreadable, kTooLarge };

// Reads the file, shared with every other reader and writer; a file larger than maxSize bytes is
// refused before anything is allocated.
FileRead ReadWholeFile(const wchar_t* path, size_t maxSize, size_t spare, FileBytes* out);
