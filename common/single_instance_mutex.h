#ifndef COMMON_SINGLE_INSTANCE_MUTEX_H
#define COMMON_SINGLE_INSTANCE_MUTEX_H

#include <windows.h>

#include <string>

#include "common/kernel_handle_win.h"

// Holds a named mutex for the life of the program, so that a second copy can
// tell that a first one is running.
//
// Any user may create a mutex of the name first (the name lives in the user's
// session). Only one owned by SYSTEM, by the Administrators (the owner an
// elevated program's objects get), by this process's user or by its token's
// default owner counts as a first copy; one of another owner, or one this process may not open, is a
// stranger's and is let go. Ours admits only SYSTEM, the Administrators and
// its creator, so that nobody else can keep it alive by holding a handle.
// The owner is checked the same way on XP, Vista, 7 and under Wine; private
// namespaces (Vista on) would need a second path, and Wine has none. While a
// stranger holds the name, a second copy started meanwhile runs too.
class CSingleInstanceMutex {
  public:
    explicit CSingleInstanceMutex(const std::wstring &name);
    CSingleInstanceMutex(const CSingleInstanceMutex &) = delete;
    CSingleInstanceMutex &operator=(const CSingleInstanceMutex &) = delete;

    // True when a copy of ours held the mutex before this object was made.
    bool AlreadyExists() const { return error_ == ERROR_ALREADY_EXISTS && !stranger_; }
    // True when the name was held by a mutex of another owner (or one we may
    // not open), which this object ignored.
    bool HeldByStranger() const { return stranger_; }
    DWORD CreationError() const { return error_; }

  private:
    CKernelHandle mutex_;
    DWORD error_ = 0;
    bool stranger_ = false;
};

#endif
