#ifndef UPDATER_CATALOGUE_RELEASE_INDEX_H
#define UPDATER_CATALOGUE_RELEASE_INDEX_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/crypto/release_crypto.h"

// The signed index of one server tree (a model's catalogue tree or a
// self-update folder): every folder and file below it that a walk could list,
// each file with its size and SHA-256, the tree it covers and a serial that
// only grows. A plain UTF-8 text, one record a line, "\n" line ends:
//
//   tessel-release-index 1
//   tree /[MID]/marbo K4
//   serial 12
//   folder [common2]
//   file 48213 <64 hex digits> [common2]/Drivers_1/Audio/XP/1.0/audio.zip
//   signature <hex of the RSA signature of every byte above this line>
//
// Paths below the tree are "/"-separated, case kept (the server's file system
// tells "a" from "A"), and listed in the order the server lists: parts compared
// by code point, a folder before what it holds. The index lies beside its tree,
// "/[MID]/marbo K4.tessel-index", in a folder no walk ever lists (see
// docs/signing.md).

constexpr size_t kReleaseIndexMaxBytes = 8u << 20;
constexpr size_t kReleaseIndexMaxPathBytes = 1024;
constexpr std::uint64_t kReleaseSerialMax = 999999999999999999ull;
extern const wchar_t kReleaseIndexSuffix[];  // ".tessel-index"

struct ReleaseIndexEntry {
    std::wstring path;  // below the tree: "[common2]/Drivers_1"
    bool folder = false;
    std::uint64_t size = 0;
    Sha256Digest sha256{};
};

struct ReleaseIndex {
    std::wstring tree;  // absolute server path without a trailing "/"
    std::uint64_t serial = 0;
    std::vector<ReleaseIndexEntry> entries;
};

// Where the index of `tree` lies on the server: beside it, in its parent folder.
std::wstring ReleaseIndexPathOf(const std::wstring &tree);

// "/a/b": parts neither empty, "." nor "..", no "\\" and no control characters.
bool IsCanonicalTreePath(const std::wstring &tree);
// The same without the leading "/".
bool IsCanonicalEntryPath(const std::wstring &path);
// The server's listing order for whole paths (parent first, then by code point).
bool IndexPathLess(const std::wstring &a, const std::wstring &b);
void SortIndexEntries(std::vector<ReleaseIndexEntry> &entries);

// The text before its signature line. Throws std::invalid_argument for an
// index that would not read back (a path or tree that is not canonical,
// entries out of order or without their folder).
std::string FormatReleaseIndexBody(const ReleaseIndex &index);
// The body with its signature line appended.
std::string AppendReleaseSignature(const std::string &body, const std::vector<std::uint8_t> &signature);

// Takes the last line off as the signature; false when the text is larger than
// kReleaseIndexMaxBytes or does not end in a signature line.
bool SplitReleaseIndex(const std::string &bytes, std::string &body, std::vector<std::uint8_t> &signature);
// Reads a body strictly: anything the writer would not have written is refused
// with the line's number in `error`.
bool ParseReleaseIndexBody(const std::string &body, ReleaseIndex &index, std::string &error);

// A serial is taken when it is not lower than the highest one seen for that tree.
bool IsSerialAcceptable(std::optional<std::uint64_t> highestSeen, std::uint64_t serial);
// Decimal digits without a leading zero, 1 to kReleaseSerialMax.
bool ParseSerialText(const std::string &text, std::uint64_t &serial);

enum class IndexVerdict { kTrusted, kUnreadable, kBadSignature, kForeignTree, kOlderSerial };

// The device's checks in order: the shape of the text, the signature (before
// any entry is read), the tree it covers, the serial. `index` is filled only
// when the verdict is kTrusted.
IndexVerdict VerifyReleaseIndex(ReleaseVerifier &crypto, const RsaPublicKey &key, const std::string &bytes,
                                const std::wstring &tree, std::optional<std::uint64_t> highestSeen,
                                ReleaseIndex &index);

#endif
