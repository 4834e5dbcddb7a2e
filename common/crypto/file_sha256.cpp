#include "common/crypto/file_sha256.h"

#include <fstream>
#include <vector>

bool Sha256OfFile(ReleaseVerifier &crypto, const std::filesystem::path &path, Sha256Digest &digest,
                  std::uint64_t &size) {
    std::ifstream in(path, std::ios::binary);
    std::unique_ptr<Sha256Stream> hash = crypto.StartSha256();
    if (!in || !hash) return false;
    std::vector<char> block(1 << 16);
    size = 0;
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const size_t got = static_cast<size_t>(in.gcount());
        if (got && !hash->Update(block.data(), got)) return false;
        size += got;
    }
    return in.eof() && !in.bad() && hash->Finish(digest);
}
