#pragma once
#include <windows.h>

// A whole file read into memory in one piece.

struct FileBytes {
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // size bytes in pages of their own: freed, they go back to the system at once, where the heap
    // would keep a block this large for the rest of the run.
    BYTE* data = nullptr;
    size_t size = 0;
};

enum class FileRead { kRead, kUnreadable, kTooLarge };

// Reads the file, shared with every other reader and writer; a file larger than maxSize bytes is
// refused before anything is allocated.
FileRead ReadWholeFile(const wchar_t* path, size_t maxSize, FileBytes* out);
