#pragma once
#include <windows.h>

// Memory on the process heap that goes back on every way out. Non-copyable: one owner.

// count zero-filled elements; get() is null when the heap has no room.
template <typename T>
class HeapBuffer {
  public:
    explicit HeapBuffer(size_t count)
        : data_(static_cast<T*>(
              HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (count ? count : 1) * sizeof(T)))) {}
    ~HeapBuffer() {
        if (data_) HeapFree(GetProcessHeap(), 0, data_);
    }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;

    T* get() const { return data_; }

  private:
    T* data_;
};

// A wide text converted to a code page (CP_ACP for the ANSI calls, CP_OEMCP for the console), with
// its terminator. get() is null when the text is null or the conversion fails.
class CodePageText {
  public:
    CodePageText(UINT codePage, const wchar_t* text)
        : bytes_(text ? WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0),
          buffer_(bytes_ > 0 ? size_t(bytes_) : 1) {
        if (bytes_ <= 0 || !buffer_.get() ||
            !WideCharToMultiByte(codePage, 0, text, -1, buffer_.get(), bytes_, nullptr, nullptr))
            bytes_ = 0;
    }
    char* get() const { return bytes_ > 0 ? buffer_.get() : nullptr; }
    // Bytes without the terminator.
    DWORD Length() const { return bytes_ > 0 ? DWORD(bytes_ - 1) : 0; }

  private:
    int bytes_;
    HeapBuffer<char> buffer_;
};
