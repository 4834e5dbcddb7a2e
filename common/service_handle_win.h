#ifndef COMMON_SERVICE_HANDLE_WIN_H
#define COMMON_SERVICE_HANDLE_WIN_H

#include <windows.h>

// Owns a service control manager or service handle, as CKernelHandle owns a
// kernel handle: these close with CloseServiceHandle instead.
class CServiceHandle {
public:
    CServiceHandle() = default;
    explicit CServiceHandle(SC_HANDLE handle) : handle_(handle) {}
    ~CServiceHandle() { Reset(); }
    CServiceHandle(const CServiceHandle &) = delete;
    CServiceHandle &operator=(const CServiceHandle &) = delete;

    SC_HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void Reset(SC_HANDLE handle = nullptr) {
        if (handle_) CloseServiceHandle(handle_);
        handle_ = handle;
    }

private:
    SC_HANDLE handle_ = nullptr;
};

#endif
