#include "tools/catalog/signing_command.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/text.h"
#include "tools/catalog/release_signing.h"
#include "tools/pkgbuild/native_path.h"
#include "updater/catalogue/local_folder_lister.h"

namespace fs = std::filesystem;

namespace {

void PrintSigned(const ReleaseIndex &index) {
    std::printf("signed %s (serial %llu, %zu entries)\n", NarrowUtf8(ReleaseIndexPathOf(index.tree)).c_str(),
                static_cast<unsigned long long>(index.serial), index.entries.size());
}

}  // namespace

int RunKeygen(const CommandLine &line) {
    if (!line.Plain().empty() || !line.Has("out"))
        throw UsageError("keygen takes --out PREFIX (writes PREFIX.private-key and PREFIX.public-key)");
    const fs::path prefix = line.Path("out");
    const fs::path privateFile = prefix.string() + ".private-key", publicFile = prefix.string() + ".public-key";
    RsaPrivateKey key;
    if (!MakeSystemCrypto()->GenerateKey(key)) throw std::runtime_error("the key pair cannot be generated here");
    WriteKeyPair(key, privateFile, publicFile,
                 NarrowUtf8(line.Text("comment", L"Release key: keep it offline, never on a server.")));
    std::printf("wrote %s (keep it offline) and %s (build it in with -DTESSEL_RELEASE_KEY)\n",
                privateFile.string().c_str(), publicFile.string().c_str());
    return 0;
}

int RunSign(const CommandLine &line) {
    if (line.Plain().size() != 1 || !line.Has("key")) throw UsageError("sign takes one tree and --key");
    const fs::path root = line.Plain()[0];
    if (!fs::is_directory(root)) throw std::runtime_error(root.string() + ": not a folder");
    const RsaPrivateKey key = ReadPrivateKeyFile(line.Path("key"));
    std::optional<std::uint64_t> serial;
    if (line.Has("serial")) {
        std::uint64_t value = 0;
        if (!ParseSerialText(NarrowUtf8(line.Text("serial")), value))
            throw UsageError("--serial takes a number from 1 to " + std::to_string(kReleaseSerialMax));
        serial = value;
    }
    std::vector<std::wstring> trees;
    if (line.Has("tree"))
        trees.push_back(line.Text("tree"));
    else
        trees = FindReleaseTrees(root);
    if (trees.empty()) throw std::runtime_error(root.string() + ": holds no catalogue or self-update tree");
    const auto crypto = MakeSystemCrypto();
    for (const std::wstring &tree : trees) PrintSigned(SignReleaseTree(*crypto, key, root, tree, serial));
    return 0;
}

std::optional<RsaPrivateKey> PublishKey(const CommandLine &line) {
    if (!line.Has("key")) return std::nullopt;
    return ReadPrivateKeyFile(line.Path("key"));
}

void SignPublishedTree(const fs::path &root, const PublishRequest &request, const RsaPrivateKey &key) {
    PrintSigned(SignReleaseTree(*MakeSystemCrypto(), key, root, PublishedTree(request)));
}

ReleaseIndex ReadIndexForPreview(const CommandLine &line, const fs::path &root, const std::wstring &tree,
                                 std::string &note) {
    const std::wstring indexPath = ReleaseIndexPathOf(tree);
    const fs::path file = LocalFolderLister(root).LocalPath(indexPath);
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(NarrowUtf8(indexPath) + ": no release index in this tree");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string body, error;
    std::vector<std::uint8_t> signature;
    ReleaseIndex index;
    if (!SplitReleaseIndex(bytes.str(), body, signature) || !ParseReleaseIndexBody(body, index, error))
        throw std::runtime_error(NarrowUtf8(indexPath) + ": not a release index " + error);
    if (line.Has("key") && !MakeSystemCrypto()->Verify(ReadPublicKeyFile(line.Path("key")), body, signature))
        throw std::runtime_error(NarrowUtf8(indexPath) + ": the signature does not verify with the given key");
    if (index.tree != tree)
        throw std::runtime_error(NarrowUtf8(indexPath) + ": covers " + NarrowUtf8(index.tree) + ", not " +
                                 NarrowUtf8(tree));
    note = "From the release index " + NarrowUtf8(indexPath) + ", serial " + std::to_string(index.serial) +
           (line.Has("key") ? ", signature checked." : ", signature not checked (no --key).");
    return index;
}

std::vector<LintFinding> LintIndexes(const CommandLine &line, const fs::path &root) {
    std::optional<RsaPublicKey> key;
    if (line.Has("key")) key = ReadPublicKeyFile(line.Path("key"));
    return LintReleaseIndexes(*MakeSystemCrypto(), key ? &*key : nullptr, root);
}
