#ifndef TOOLS_CATALOG_SIGNING_COMMAND_H
#define TOOLS_CATALOG_SIGNING_COMMAND_H

#include <filesystem>
#include <optional>
#include <vector>

#include "common/crypto/rsa_key_text.h"
#include "tools/catalog/command_line.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/publish.h"
#include "updater/catalogue/release_index.h"

// The signing side of the command: keygen, sign, and the --key of publish and lint.

int RunKeygen(const CommandLine &line);
int RunSign(const CommandLine &line);

// The private key of "--key", read before anything is published.
std::optional<RsaPrivateKey> PublishKey(const CommandLine &line);
// Signs the tree the publish changed again, with a higher serial; prints the index.
void SignPublishedTree(const std::filesystem::path &root, const PublishRequest &request, const RsaPrivateKey &key);

// The index beside `tree` for "preview --index": its signature checked with
// "--key" when given (refused when it does not verify). `note` says which
// index was read and whether its signature was checked.
ReleaseIndex ReadIndexForPreview(const CommandLine &line, const std::filesystem::path &root,
                                 const std::wstring &tree, std::string &note);

// The findings of every release index below `root` (signatures checked with
// "--key" when given).
std::vector<LintFinding> LintIndexes(const CommandLine &line, const std::filesystem::path &root);

#endif
