#include "common/crypto/release_crypto.h"

bool Sha256Of(ReleaseVerifier &crypto, const std::string &bytes, Sha256Digest &digest) {
    std::unique_ptr<Sha256Stream> hash = crypto.StartSha256();
    return hash && hash->Update(bytes.data(), bytes.size()) && hash->Finish(digest);
}
