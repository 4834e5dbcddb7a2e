#ifndef COMMON_CRYPTO_RELEASE_CRYPTO_H
#define COMMON_CRYPTO_RELEASE_CRYPTO_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/crypto/rsa_key_text.h"
#include "common/crypto/sha256_digest.h"

// The cryptography of signed releases, behind one interface so that the same
// portable code runs on the system's CryptoAPI on a device and on OpenSSL's
// libcrypto on the build host. Signatures are RSA PKCS#1 v1.5 over SHA-256,
// stored big-endian as the standard writes them.

class Sha256Stream {
public:
    virtual ~Sha256Stream() = default;
    virtual bool Update(const void *bytes, size_t count) = 0;
    // Only once; the stream is spent afterwards.
    virtual bool Finish(Sha256Digest &digest) = 0;
};

class ReleaseVerifier {
public:
    virtual ~ReleaseVerifier() = default;
    // Null when the provider cannot hash.
    virtual std::unique_ptr<Sha256Stream> StartSha256() = 0;
    // True only for a valid signature of `message` by `key`'s private half.
    virtual bool Verify(const RsaPublicKey &key, const std::string &message,
                        const std::vector<std::uint8_t> &signature) = 0;
};

class ReleaseSigner : public ReleaseVerifier {
public:
    virtual bool GenerateKey(RsaPrivateKey &key) = 0;
    virtual bool Sign(const RsaPrivateKey &key, const std::string &message,
                      std::vector<std::uint8_t> &signature) = 0;
};

// The digest of bytes held in memory; false when the provider fails.
bool Sha256Of(ReleaseVerifier &crypto, const std::string &bytes, Sha256Digest &digest);

// The system's provider: CryptoAPI in the Windows build, OpenSSL on the host.
std::unique_ptr<ReleaseSigner> MakeSystemCrypto();

#endif
