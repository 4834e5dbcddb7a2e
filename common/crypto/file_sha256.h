#ifndef COMMON_CRYPTO_FILE_SHA256_H
#define COMMON_CRYPTO_FILE_SHA256_H

#include <cstdint>
#include <filesystem>

#include "common/crypto/release_crypto.h"

// A file's SHA-256 and size, read in blocks (the release tool's side). False
// when the file cannot be read whole or the provider fails.
bool Sha256OfFile(ReleaseVerifier &crypto, const std::filesystem::path &path, Sha256Digest &digest,
                  std::uint64_t &size);

#endif
