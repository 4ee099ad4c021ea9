#pragma once
#include <windows.h>

// A handle that frees itself, on every path out, in the way its kind is freed. Non-copyable: each
// handle has exactly one owner. As a global it holds a handle made once for the whole run, freed at
// exit. Release says how a kind is freed and which values hold nothing.
template <typename Handle, typename Release>
class ScopedHandle {
  public:
    explicit constexpr ScopedHandle(Handle handle = Handle()) : handle_(handle) {}
    ~ScopedHandle() { Free(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return handle_; }
    operator Handle() const { return handle_; }
    bool Held() const { return Release::Held(handle_); }
    // Frees the handle held (if any) and gives the place where a call stores the next one.
    Handle* Receive() {
        Free();
        return &handle_;
    }
    Handle Detach() {
        Handle const handle = handle_;
        handle_ = Handle();
        return handle;
    }
    // Takes the handle in place of the one held, which is freed.
    void Reset(Handle handle) {
        if (handle_ != handle) Free();
        handle_ = handle;
    }
    // Frees now; true when the system took the handle back (closing a written file can fail).
    bool Close() { return Free(); }

  private:
    bool Free() {
        bool const freed = Release::Held(handle_) && Release::Free(handle_);
        handle_ = Handle();
        return freed;
    }
    Handle handle_;
};

struct GdiObjectRelease {
    static bool Held(HGDIOBJ object) { return object != nullptr; }
    static bool Free(HGDIOBJ object) { return DeleteObject(object) != 0; }
};

struct IconRelease {
    static bool Held(HICON icon) { return icon != nullptr; }
    static bool Free(HICON icon) { return DestroyIcon(icon) != 0; }
};

// Files answer INVALID_HANDLE_VALUE for nothing, most other kernel objects null.
struct KernelHandleRelease {
    static bool Held(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE handle) { return CloseHandle(handle) != 0; }
};

struct RegistryKeyRelease {
    static bool Held(HKEY key) { return key != nullptr; }
    static bool Free(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

using ScopedIcon = ScopedHandle<HICON, IconRelease>;
using ScopedKernelHandle = ScopedHandle<HANDLE, KernelHandleRelease>;
using ScopedKey = ScopedHandle<HKEY, RegistryKeyRelease>;
