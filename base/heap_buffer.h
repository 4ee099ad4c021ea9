#pragma once
#include <windows.h>

// Memory on the process heap that goes back on every way out. Non-copyable: one owner.

// count zero-filled elements; get() is null when the heap has no room.
template <typename T>
class HeapBuffer {
  public:
    HeapBuffer() = default;  // no memory: get() is null
    explicit HeapBuffer(size_t count)
        : data_(count <= ~size_t(0) / sizeof(T)
                    ? static_cast<T*>(
                          HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (count ? count : 1) * sizeof(T)))
                    : nullptr) {}
    ~HeapBuffer() {
        if (data_) HeapFree(GetProcessHeap(), 0, data_);
    }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    // Handed on, for a function that makes a buffer for its caller.
    HeapBuffer(HeapBuffer&& other) : data_(other.data_) { other.data_ = nullptr; }
    HeapBuffer& operator=(HeapBuffer&& other) {
        if (this != &other) {
            if (data_) HeapFree(GetProcessHeap(), 0, data_);
            data_ = other.data_;
            other.data_ = nullptr;
        }
        return *this;
    }

    T* get() const { return data_; }
    // The memory stays, for the rest of the run or for HeapFree by the caller; get() is null after.
    T* Release() {
        T* const data = data_;
        data_ = nullptr;
        return data;
    }

  private:
    T* data_ = nullptr;
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
