#ifndef TOOLS_CATALOG_RELEASE_SIGNING_H
#define TOOLS_CATALOG_RELEASE_SIGNING_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/crypto/release_crypto.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/publish.h"
#include "updater/catalogue/release_index.h"

// The maker's side of signed releases over a server tree on disk: the trees
// that get an index, building an index from the files, signing and writing it
// beside its tree, and checking every index against the tree.

// "/[MID]/<model>" for each model folder of both families, then each
// "/Korea/PC/Tessel<F>Setup" that exists.
std::vector<std::wstring> FindReleaseTrees(const std::filesystem::path &root);
// The tree a publish changes: the model's catalogue tree or the self-update tree.
std::wstring PublishedTree(const PublishRequest &request);

// The index of `tree` as it is on disk, every file hashed. What cannot be
// indexed (a link, a name that is not UTF-8 or holds a control character, a
// file that cannot be read) is added to `problems` and left out.
ReleaseIndex IndexTreeOnDisk(ReleaseVerifier &crypto, const std::filesystem::path &root,
                             const std::wstring &tree, std::uint64_t serial,
                             std::vector<std::wstring> &problems);

// The serial of the index now beside `tree`, read without checking its
// signature; nothing when there is none that reads.
std::optional<std::uint64_t> ExistingSerial(const std::filesystem::path &root, const std::wstring &tree);

// Indexes `tree`, signs the index and puts it beside the tree: written under a
// temporary name, flushed to the disk, then renamed over the old one, so that
// a device fetches either the old index or the new one whole. The serial is
// `serial` when given (it must be higher than the existing one), otherwise one
// more than the existing one, or 1. Throws std::runtime_error, with the old
// index left as it was.
ReleaseIndex SignReleaseTree(ReleaseSigner &crypto, const RsaPrivateKey &key, const std::filesystem::path &root,
                             const std::wstring &tree, std::optional<std::uint64_t> serial = std::nullopt);

// Every index against its tree: its signature (when `key` is given), the
// tree it names, and every folder and file both ways with sizes and hashes.
// With a key, a tree without an index is a warning.
std::vector<LintFinding> LintReleaseIndexes(ReleaseVerifier &crypto, const RsaPublicKey *key,
                                            const std::filesystem::path &root);

// Key files: the private key written readable by its owner only; neither file
// is ever overwritten.
void WriteKeyPair(const RsaPrivateKey &key, const std::filesystem::path &privateFile,
                  const std::filesystem::path &publicFile, const std::string &comment);
RsaPrivateKey ReadPrivateKeyFile(const std::filesystem::path &file);
// A public key file, or the public half of a private one.
RsaPublicKey ReadPublicKeyFile(const std::filesystem::path &file);

#endif
