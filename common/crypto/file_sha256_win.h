#ifndef COMMON_CRYPTO_FILE_SHA256_WIN_H
#define COMMON_CRYPTO_FILE_SHA256_WIN_H

#include <windows.h>

#include <string>

#include "common/crypto/release_crypto.h"

enum class FileHashResult { kDone, kCannotRead, kStopped, kProviderFailed };

// A file's SHA-256 and size, read in 64 KiB blocks so that a package of
// hundreds of megabytes is never held whole. `stop` (may be null) is polled
// between blocks, as the worker's other loops do.
FileHashResult HashFileSha256(ReleaseVerifier &crypto, const std::wstring &path, HANDLE stop,
                              Sha256Digest &digest, ULONGLONG &size);

#endif
