#include "common/crypto/file_sha256_win.h"

#include <vector>

#include "common/kernel_handle_win.h"

FileHashResult HashFileSha256(ReleaseVerifier &crypto, const std::wstring &path, HANDLE stop,
                              Sha256Digest &digest, ULONGLONG &size) {
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return FileHashResult::kCannotRead;
    std::unique_ptr<Sha256Stream> hash = crypto.StartSha256();
    if (!hash) return FileHashResult::kProviderFailed;
    std::vector<BYTE> block(1 << 16);
    size = 0;
    for (;;) {
        if (stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return FileHashResult::kStopped;
        DWORD got = 0;
        if (!ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr))
            return FileHashResult::kCannotRead;
        if (got == 0) break;
        if (!hash->Update(block.data(), got)) return FileHashResult::kProviderFailed;
        size += got;
    }
    return hash->Finish(digest) ? FileHashResult::kDone : FileHashResult::kProviderFailed;
}
