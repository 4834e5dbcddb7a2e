#ifndef UPDATER_TRANSFER_INTERNET_HANDLE_WIN_H
#define UPDATER_TRANSFER_INTERNET_HANDLE_WIN_H

#include <windows.h>
#include <wininet.h>

// Owns one WinInet handle (session, connection or find handle) and closes it.
class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle &) = delete;
    CInternetHandle &operator=(const CInternetHandle &) = delete;
    CInternetHandle(CInternetHandle &&other) noexcept : m_handle(other.m_handle) {
        other.m_handle = nullptr;
    }
    CInternetHandle &operator=(CInternetHandle &&other) noexcept {
        if (this != &other) {
            Reset(other.m_handle);
            other.m_handle = nullptr;
        }
        return *this;
    }

    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(HINTERNET handle = nullptr) {
        Close();
        m_handle = handle;
    }
    void Close() {
        if (m_handle) {
            InternetCloseHandle(m_handle);
            m_handle = nullptr;
        }
    }

private:
    HINTERNET m_handle = nullptr;
};

#endif
