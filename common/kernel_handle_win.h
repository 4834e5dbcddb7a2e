#ifndef COMMON_KERNEL_HANDLE_WIN_H
#define COMMON_KERNEL_HANDLE_WIN_H

#include <windows.h>

// Owns one kernel handle (event, thread, file, mapping) and closes it when it
// goes, so that no early return has to. Null and INVALID_HANDLE_VALUE both
// mean "none": CreateFileW fails with the one, CreateEventW with the other.
class CKernelHandle {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) { Reset(handle); }
    ~CKernelHandle() { Reset(); }
    CKernelHandle(const CKernelHandle &) = delete;
    CKernelHandle &operator=(const CKernelHandle &) = delete;
    CKernelHandle(CKernelHandle &&other) noexcept : handle_(other.Release()) {}
    CKernelHandle &operator=(CKernelHandle &&other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void Reset(HANDLE handle = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    HANDLE handle_ = nullptr;
};

#endif
