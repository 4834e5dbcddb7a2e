#include "common/remote_memory_win.h"

CRemoteMemory::CRemoteMemory(DWORD processId, SIZE_T size) : size_(size) {
    // Only what reading and writing the block needs, not full access.
    process_.Reset(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
        FALSE, processId));
    if (process_)
        address_ =
            VirtualAllocEx(process_.Get(), nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

CRemoteMemory::~CRemoteMemory() {
    if (address_) VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
}

bool CRemoteMemory::Write(SIZE_T offset, const void *data, SIZE_T size) const {
    SIZE_T done = 0;
    return Ready() && offset <= size_ && size <= size_ - offset &&
           WriteProcessMemory(process_.Get(), At(offset), data, size, &done) && done == size;
}

bool CRemoteMemory::Read(SIZE_T offset, void *data, SIZE_T size) const {
    return Ready() && offset <= size_ && size <= size_ - offset && ReadFrom(At(offset), data, size);
}

bool CRemoteMemory::ReadFrom(const void *address, void *data, SIZE_T size) const {
    SIZE_T done = 0;
    return process_ && ReadProcessMemory(process_.Get(), address, data, size, &done) && done == size;
}
