#ifndef COMMON_SINGLE_INSTANCE_MUTEX_H
#define COMMON_SINGLE_INSTANCE_MUTEX_H

#include <windows.h>

#include <string>

// Holds a named mutex for the life of the program, so that a second copy can tell
// that a first one is running.
class CSingleInstanceMutex {
  public:
    // Creates (or opens) the unowned mutex with default security.
    explicit CSingleInstanceMutex(const std::wstring &name);
    ~CSingleInstanceMutex();
    CSingleInstanceMutex(const CSingleInstanceMutex &) = delete;
    CSingleInstanceMutex &operator=(const CSingleInstanceMutex &) = delete;

    // True when the mutex existed before this object was made.
    bool AlreadyExists() const { return error_ == ERROR_ALREADY_EXISTS; }
    DWORD CreationError() const { return error_; }

  private:
    HANDLE mutex_ = nullptr;
    DWORD error_ = 0;
};

#endif
