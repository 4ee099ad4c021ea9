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
