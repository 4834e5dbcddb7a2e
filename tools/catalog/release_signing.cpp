#include "tools/catalog/release_signing.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "common/crypto/file_sha256.h"
#include "common/text.h"
#include "tools/pkgbuild/native_path.h"
#include "updater/catalogue/local_folder_lister.h"
#include "updater/catalogue/server_folders.h"
#include "updater/shell/self_update_paths.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const wchar_t kRegion[] = L"Korea";
const wchar_t *const kFamilies[] = {L"MID", L"CMPC"};

std::string ReadBytes(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot be read");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

fs::path LocalOf(const fs::path &root, const std::wstring &serverPath) {
    return LocalFolderLister(root).LocalPath(serverPath);
}

// The index file beside `tree` on disk (its parent folder resolved like the server does).
fs::path IndexFileOf(const fs::path &root, const std::wstring &tree) {
    const size_t slash = tree.rfind(L'/');
    return LocalOf(root, tree.substr(0, slash)) / PathFromWide(tree.substr(slash + 1) + kReleaseIndexSuffix);
}

void SyncFolder(const fs::path &folder) {
#ifndef _WIN32
    const int fd = open(folder.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#else
    (void)folder;
#endif
}

// Writes `bytes` to a temporary file beside `target`, flushed to the disk, and
// renames it over `target`.
void WriteReplacing(const fs::path &target, const std::string &bytes) {
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = getpid();
#endif
    const fs::path temporary =
        target.parent_path() / ("." + target.filename().string() + ".tmp-" + std::to_string(pid));
    FILE *file = nullptr;
#ifdef _WIN32
    file = _wfopen(temporary.c_str(), L"wb");
#else
    file = std::fopen(temporary.c_str(), "wb");
#endif
    if (!file) throw std::runtime_error(temporary.string() + ": cannot be written");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
#ifdef _WIN32
    ok = ok && _commit(_fileno(file)) == 0;
#else
    ok = ok && fsync(fileno(file)) == 0;
#endif
    ok = std::fclose(file) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temporary, target, ec);
    if (!ok || ec) {
        fs::remove(temporary, ec);
        throw std::runtime_error(target.string() + ": cannot be written");
    }
    SyncFolder(target.parent_path());
}

void WriteNew(const fs::path &file, const std::string &text, bool ownerOnly) {
    if (fs::exists(file)) throw std::runtime_error(file.string() + ": exists; a key file is never overwritten");
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
        if (!out.flush()) throw std::runtime_error(file.string() + ": cannot be written");
    }
    if (ownerOnly)
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
}

// POSIX names are bytes; the index holds UTF-8 only.
bool NameIsUtf8(const fs::path &path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    const std::string name = path.filename().native();
    return NarrowUtf8(WidenUtf8(name)) == name;
#endif
}

void IndexFolder(ReleaseVerifier &crypto, const fs::path &folder, const std::wstring &relative,
                 std::vector<ReleaseIndexEntry> &entries, std::vector<std::wstring> &problems,
                 const std::wstring &tree) {
    std::vector<ReleaseIndexEntry> here;
    std::vector<fs::path> subfolders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        ReleaseIndexEntry entry;
        const std::wstring name = WidePath(it->path().filename());
        entry.path = relative.empty() ? name : relative + L"/" + name;
        const std::wstring where = tree + L"/" + entry.path;
        if (!IsCanonicalEntryPath(entry.path) || !NameIsUtf8(it->path())) {
            problems.push_back(where + L": a name that cannot be indexed (control characters, \"\\\" or "
                                       L"bytes that are not UTF-8)");
            continue;
        }
        const fs::file_status status = it->symlink_status(ec);
        if (ec) {
            problems.push_back(where + L": cannot be read");
            ec.clear();
            continue;
        }
        if (fs::is_symlink(status)) {
            problems.push_back(where + L": a link cannot be signed; put the file itself there");
            continue;
        }
        entry.folder = fs::is_directory(status);
        if (!entry.folder && !Sha256OfFile(crypto, it->path(), entry.sha256, entry.size)) {
            problems.push_back(where + L": cannot be read");
            continue;
        }
        here.push_back(entry);
    }
    if (ec) problems.push_back(tree + L"/" + relative + L": cannot be listed");
    SortIndexEntries(here);
    for (const ReleaseIndexEntry &entry : here) {
        entries.push_back(entry);
        if (entry.folder) {
            const std::wstring name = entry.path.substr(entry.path.rfind(L'/') + 1);
            IndexFolder(crypto, folder / PathFromWide(name), entry.path, entries, problems, tree);
        }
    }
}

std::wstring Joined(const std::vector<std::wstring> &problems) {
    std::wstring text;
    for (const std::wstring &p : problems) text += p + L"\n";
    return text;
}

class IndexLinter {
public:
    IndexLinter(ReleaseVerifier &crypto, const RsaPublicKey *key, const fs::path &root)
        : m_crypto(crypto), m_key(key), m_root(root) {}

    std::vector<LintFinding> Run() {
        for (const std::wstring &tree : FindReleaseTrees(m_root)) LintTree(tree);
        if (!m_key && m_sawIndex)
            m_findings.push_back({false, L"/", L"index signatures not checked: give --key with the public key"});
        return std::move(m_findings);
    }

private:
    void Error(const std::wstring &path, const std::wstring &message) { m_findings.push_back({true, path, message}); }

    void LintTree(const std::wstring &tree) {
        const fs::path file = IndexFileOf(m_root, tree);
        const std::wstring where = ReleaseIndexPathOf(tree);
        std::error_code ec;
        if (!fs::exists(file, ec)) {
            if (m_key)
                m_findings.push_back({false, tree, L"no release index: a signed-mode Tessel offers nothing "
                                                   L"from this tree"});
            return;
        }
        m_sawIndex = true;
        std::string body, error;
        std::vector<std::uint8_t> signature;
        ReleaseIndex index;
        const std::string bytes = ReadBytes(file);
        if (!SplitReleaseIndex(bytes, body, signature))
            return Error(where, L"not a signed release index (no signature line at its end, or too large)");
        if (m_key && !m_crypto.Verify(*m_key, body, signature))
            Error(where, L"the signature does not verify with the given key: every signed-mode Tessel "
                         L"refuses this index");
        if (!ParseReleaseIndexBody(body, index, error)) return Error(where, WidenUtf8(error));
        if (index.tree != tree)
            Error(where, L"covers " + index.tree + L", not the tree it lies beside: devices refuse it");
        std::vector<std::wstring> problems;
        const ReleaseIndex onDisk = IndexTreeOnDisk(m_crypto, m_root, tree, 1, problems);
        for (const std::wstring &problem : problems) Error(tree, problem);
        Compare(tree, index, onDisk);
    }

    void Compare(const std::wstring &tree, const ReleaseIndex &index, const ReleaseIndex &onDisk) {
        std::map<std::wstring, const ReleaseIndexEntry *> disk;
        for (const ReleaseIndexEntry &e : onDisk.entries) disk[e.path] = &e;
        for (const ReleaseIndexEntry &e : index.entries) {
            const std::wstring path = tree + L"/" + e.path;
            auto it = disk.find(e.path);
            if (it == disk.end()) {
                Error(path, L"named in the index but gone from the tree");
                continue;
            }
            const ReleaseIndexEntry &found = *it->second;
            disk.erase(it);
            if (found.folder != e.folder)
                Error(path, e.folder ? L"a folder in the index, a file in the tree"
                                     : L"a file in the index, a folder in the tree");
            else if (!e.folder && found.size != e.size)
                Error(path, L"size " + std::to_wstring(found.size) + L", the index says " +
                                std::to_wstring(e.size) + L": devices refuse this file");
            else if (!e.folder && found.sha256 != e.sha256)
                Error(path, L"the SHA-256 differs from the index: devices refuse this file");
        }
        for (const auto &left : disk)
            Error(tree + L"/" + left.first,
                  L"not in the index: a signed-mode Tessel never sees it (sign the tree again)");
    }

    ReleaseVerifier &m_crypto;
    const RsaPublicKey *m_key;
    fs::path m_root;
    bool m_sawIndex = false;
    std::vector<LintFinding> m_findings;
};

}  // namespace

std::vector<std::wstring> FindReleaseTrees(const fs::path &root) {
    std::vector<std::wstring> trees;
    LocalFolderLister lister(root);
    for (const wchar_t *family : kFamilies) {
        TextList models;
        lister.ListFolders(models, L"/[" + std::wstring(family) + L"]");
        for (const std::wstring &model : models)
            if (model != L"[]") trees.push_back(L"/[" + std::wstring(family) + L"]/" + model);
    }
    for (const wchar_t *family : kFamilies) {
        const std::wstring tree = StripTrailing(SelfUpdateSetupFolder(kRegion, family), L'/');
        if (fs::is_directory(LocalOf(root, tree))) trees.push_back(tree);
    }
    return trees;
}

std::wstring PublishedTree(const PublishRequest &request) {
    if (request.target == PublishRequest::Target::SelfUpdate)
        return StripTrailing(SelfUpdateSetupFolder(kRegion, request.family), L'/');
    DeviceProfile profile;
    profile.family = request.family;
    profile.modelName = request.model;
    return ModelFolder(profile);
}

ReleaseIndex IndexTreeOnDisk(ReleaseVerifier &crypto, const fs::path &root, const std::wstring &tree,
                             std::uint64_t serial, std::vector<std::wstring> &problems) {
    ReleaseIndex index;
    index.tree = tree;
    index.serial = serial;
    IndexFolder(crypto, LocalOf(root, tree), L"", index.entries, problems, tree);
    return index;
}

std::optional<std::uint64_t> ExistingSerial(const fs::path &root, const std::wstring &tree) {
    const fs::path file = IndexFileOf(root, tree);
    std::error_code ec;
    if (!fs::exists(file, ec)) return std::nullopt;
    std::string body, error;
    std::vector<std::uint8_t> signature;
    ReleaseIndex index;
    if (!SplitReleaseIndex(ReadBytes(file), body, signature) || !ParseReleaseIndexBody(body, index, error))
        return std::nullopt;
    return index.serial;
}

ReleaseIndex SignReleaseTree(ReleaseSigner &crypto, const RsaPrivateKey &key, const fs::path &root,
                             const std::wstring &tree, std::optional<std::uint64_t> serial) {
    if (!IsCanonicalTreePath(tree)) throw std::runtime_error(NarrowUtf8(tree) + ": not a tree path");
    if (!fs::is_directory(LocalOf(root, tree))) throw std::runtime_error(NarrowUtf8(tree) + ": no such folder");
    const std::optional<std::uint64_t> existing = ExistingSerial(root, tree);
    if (serial && existing && *serial <= *existing)
        throw std::runtime_error(NarrowUtf8(tree) + ": the serial must be higher than " +
                                 std::to_string(*existing) + ", the index's now");
    if (!serial) serial = existing ? *existing + 1 : 1;
    if (*serial > kReleaseSerialMax) throw std::runtime_error(NarrowUtf8(tree) + ": the serial is spent");
    std::vector<std::wstring> problems;
    const ReleaseIndex index = IndexTreeOnDisk(crypto, root, tree, *serial, problems);
    if (!problems.empty())
        throw std::runtime_error("the tree cannot be signed:\n" + NarrowUtf8(Joined(problems)));
    const std::string body = FormatReleaseIndexBody(index);
    std::vector<std::uint8_t> signature;
    if (!crypto.Sign(key, body, signature) || !crypto.Verify(key.publicKey, body, signature))
        throw std::runtime_error("the index cannot be signed with this key");
    WriteReplacing(IndexFileOf(root, tree), AppendReleaseSignature(body, signature));
    return index;
}

std::vector<LintFinding> LintReleaseIndexes(ReleaseVerifier &crypto, const RsaPublicKey *key, const fs::path &root) {
    return IndexLinter(crypto, key, root).Run();
}

void WriteKeyPair(const RsaPrivateKey &key, const fs::path &privateFile, const fs::path &publicFile,
                  const std::string &comment) {
    if (fs::exists(publicFile))
        throw std::runtime_error(publicFile.string() + ": exists; a key file is never overwritten");
    WriteNew(privateFile, FormatPrivateKeyText(key, comment), true);
    WriteNew(publicFile, FormatPublicKeyText(key.publicKey), false);
}

RsaPrivateKey ReadPrivateKeyFile(const fs::path &file) {
    RsaPrivateKey key;
    std::string error;
    if (!ParsePrivateKeyText(ReadBytes(file), key, error)) throw std::runtime_error(file.string() + ": " + error);
    return key;
}

RsaPublicKey ReadPublicKeyFile(const fs::path &file) {
    RsaPublicKey key;
    std::string error;
    if (!ParsePublicKeyText(ReadBytes(file), key, error)) throw std::runtime_error(file.string() + ": " + error);
    return key;
}
