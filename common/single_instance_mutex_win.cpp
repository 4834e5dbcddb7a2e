#include "common/single_instance_mutex.h"

CSingleInstanceMutex::CSingleInstanceMutex(const std::wstring &name) {
    SetLastError(ERROR_SUCCESS);
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    error_ = GetLastError();
}

CSingleInstanceMutex::~CSingleInstanceMutex() {
    if (mutex_) CloseHandle(mutex_);
}
