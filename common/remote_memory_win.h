#ifndef COMMON_REMOTE_MEMORY_WIN_H
#define COMMON_REMOTE_MEMORY_WIN_H

#include <windows.h>

#include "common/kernel_handle_win.h"

// A block of read-write memory in another process, for the messages whose
// records must live in the receiver's address space (toolbar buttons, list
// view items). Freed, and the process handle closed, with the object.
class CRemoteMemory {
  public:
    CRemoteMemory(DWORD processId, SIZE_T size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory &) = delete;
    CRemoteMemory &operator=(const CRemoteMemory &) = delete;

    // False when the process could not be opened or the block not committed.
    bool Ready() const { return address_ != nullptr; }
    // The block's address in the other process, `offset` bytes in.
    char *At(SIZE_T offset = 0) const { return static_cast<char *>(address_) + offset; }

    // Copies within the block; false outside it or when the copy fails.
    bool Write(SIZE_T offset, const void *data, SIZE_T size) const;
    bool Read(SIZE_T offset, void *data, SIZE_T size) const;
    // Reads anywhere in the other process (records its own pointers lead to).
    bool ReadFrom(const void *address, void *data, SIZE_T size) const;

  private:
    CKernelHandle process_;
    void *address_ = nullptr;
    SIZE_T size_;
};

#endif
