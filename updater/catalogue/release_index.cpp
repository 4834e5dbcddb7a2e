#include "updater/catalogue/release_index.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <stdexcept>

#include "common/text.h"

const wchar_t kReleaseIndexSuffix[] = L".tessel-index";

namespace {

const char kHeader[] = "tessel-release-index 1";
const char kSignaturePrefix[] = "signature ";

bool IsCanonicalParts(const std::wstring &path, size_t from) {
    if (from >= path.size()) return false;
    size_t start = from;
    while (start <= path.size()) {
        size_t slash = path.find(L'/', start);
        if (slash == std::wstring::npos) slash = path.size();
        const std::wstring part = path.substr(start, slash - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        for (wchar_t c : part)
            if (c < 0x20 || c == 0x7F || c == L'\\') return false;
        start = slash + 1;
    }
    return NarrowUtf8(path).size() <= kReleaseIndexMaxPathBytes;
}

// UTF-8 bytes with "/" ranked below every byte a name may hold, so that a
// plain byte comparison orders parent folders first, then by code point.
std::string OrderKey(const std::string &utf8) {
    std::string key = utf8;
    std::replace(key.begin(), key.end(), '/', '\0');
    return key;
}

bool KeyLess(const std::string &a, const std::string &b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

std::wstring ParentOf(const std::wstring &path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

bool ParseDecimal(const std::string &text, std::uint64_t &value) {
    if (text.empty() || text.size() > 18 || (text.size() > 1 && text[0] == '0')) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// Valid UTF-8 only: the text must come back unchanged from a round trip.
bool DecodeStrict(const std::string &utf8, std::wstring &wide) {
    wide = WidenUtf8(utf8);
    return NarrowUtf8(wide) == utf8;
}

// Checks the entries one after another as the reader does; "" when all are fine.
class EntryOrder {
public:
    std::string Add(const ReleaseIndexEntry &entry) {
        if (!IsCanonicalEntryPath(entry.path)) return "not a canonical path below the tree";
        const std::string key = OrderKey(NarrowUtf8(entry.path));
        if (!m_last.empty() && !KeyLess(m_last, key)) return "out of order or given twice";
        const std::wstring parent = ParentOf(entry.path);
        if (!parent.empty() && !m_folders.count(parent)) return "its folder is not listed before it";
        if (entry.folder) m_folders.insert(entry.path);
        m_last = key;
        return "";
    }

private:
    std::string m_last;
    std::set<std::wstring> m_folders;
};

}  // namespace

std::wstring ReleaseIndexPathOf(const std::wstring &tree) { return tree + kReleaseIndexSuffix; }

bool IsCanonicalTreePath(const std::wstring &tree) {
    return !tree.empty() && tree[0] == L'/' && IsCanonicalParts(tree, 1);
}

bool IsCanonicalEntryPath(const std::wstring &path) { return IsCanonicalParts(path, 0); }

bool IndexPathLess(const std::wstring &a, const std::wstring &b) {
    return KeyLess(OrderKey(NarrowUtf8(a)), OrderKey(NarrowUtf8(b)));
}

void SortIndexEntries(std::vector<ReleaseIndexEntry> &entries) {
    std::sort(entries.begin(), entries.end(),
              [](const ReleaseIndexEntry &a, const ReleaseIndexEntry &b) { return IndexPathLess(a.path, b.path); });
}

std::string FormatReleaseIndexBody(const ReleaseIndex &index) {
    if (!IsCanonicalTreePath(index.tree))
        throw std::invalid_argument("not a canonical tree path: " + NarrowUtf8(index.tree));
    if (index.serial < 1 || index.serial > kReleaseSerialMax)
        throw std::invalid_argument("the serial is not from 1 to " + std::to_string(kReleaseSerialMax));
    std::ostringstream out;
    out << kHeader << "\ntree " << NarrowUtf8(index.tree) << "\nserial " << index.serial << "\n";
    EntryOrder order;
    for (const ReleaseIndexEntry &entry : index.entries) {
        const std::string problem = order.Add(entry);
        if (!problem.empty()) throw std::invalid_argument(NarrowUtf8(entry.path) + ": " + problem);
        if (entry.folder)
            out << "folder " << NarrowUtf8(entry.path) << "\n";
        else
            out << "file " << entry.size << " " << HexText(entry.sha256) << " " << NarrowUtf8(entry.path)
                << "\n";
    }
    if (out.tellp() > static_cast<std::streamoff>(kReleaseIndexMaxBytes - 4096))
        throw std::invalid_argument("the index would be larger than " +
                                    std::to_string(kReleaseIndexMaxBytes) + " bytes");
    return out.str();
}

std::string AppendReleaseSignature(const std::string &body, const std::vector<std::uint8_t> &signature) {
    return body + kSignaturePrefix + HexText(signature) + "\n";
}

bool SplitReleaseIndex(const std::string &bytes, std::string &body, std::vector<std::uint8_t> &signature) {
    if (bytes.size() > kReleaseIndexMaxBytes || bytes.size() < 2 || bytes.back() != '\n') return false;
    const size_t lineStart = bytes.rfind('\n', bytes.size() - 2);
    const size_t start = lineStart == std::string::npos ? 0 : lineStart + 1;
    const std::string line = bytes.substr(start, bytes.size() - 1 - start);
    const size_t prefix = sizeof kSignaturePrefix - 1;
    if (line.compare(0, prefix, kSignaturePrefix) != 0 || line.size() == prefix ||
        !ParseHexText(line.substr(prefix), signature))
        return false;
    body = bytes.substr(0, start);
    return true;
}

bool ParseReleaseIndexBody(const std::string &body, ReleaseIndex &index, std::string &error) {
    index = ReleaseIndex();
    if (body.size() > kReleaseIndexMaxBytes) {
        error = "larger than " + std::to_string(kReleaseIndexMaxBytes) + " bytes";
        return false;
    }
    if (!body.empty() && body.back() != '\n') {
        error = "the last line has no line end";
        return false;
    }
    EntryOrder order;
    size_t number = 0;
    for (size_t start = 0; start < body.size();) {
        const size_t end = body.find('\n', start);
        const std::string line = body.substr(start, end - start);
        start = end + 1;
        ++number;
        auto fail = [&](const std::string &why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (number == 1) {
            if (line != kHeader) return fail("not a release index (\"" + std::string(kHeader) + "\")");
            continue;
        }
        if (number == 2) {
            if (line.compare(0, 5, "tree ") != 0 || !DecodeStrict(line.substr(5), index.tree) ||
                !IsCanonicalTreePath(index.tree))
                return fail("no canonical \"tree /path\" line");
            continue;
        }
        if (number == 3) {
            if (line.compare(0, 7, "serial ") != 0 || !ParseSerialText(line.substr(7), index.serial))
                return fail("no \"serial N\" line with N from 1 to " + std::to_string(kReleaseSerialMax));
            continue;
        }
        ReleaseIndexEntry entry;
        std::string path;
        if (line.compare(0, 7, "folder ") == 0) {
            entry.folder = true;
            path = line.substr(7);
        } else if (line.compare(0, 5, "file ") == 0) {
            const size_t sizeEnd = line.find(' ', 5);
            const size_t digestEnd = sizeEnd == std::string::npos ? sizeEnd : line.find(' ', sizeEnd + 1);
            if (digestEnd == std::string::npos || !ParseDecimal(line.substr(5, sizeEnd - 5), entry.size) ||
                !ParseDigestText(line.substr(sizeEnd + 1, digestEnd - sizeEnd - 1), entry.sha256))
                return fail("not \"file SIZE SHA256 PATH\"");
            path = line.substr(digestEnd + 1);
        } else {
            return fail("neither a folder nor a file");
        }
        if (!DecodeStrict(path, entry.path)) return fail("the path is not UTF-8");
        const std::string problem = order.Add(entry);
        if (!problem.empty()) return fail(path + ": " + problem);
        index.entries.push_back(std::move(entry));
    }
    if (number < 3) {
        error = "the tree and serial lines are missing";
        return false;
    }
    return true;
}

bool IsSerialAcceptable(std::optional<std::uint64_t> highestSeen, std::uint64_t serial) {
    return !highestSeen || serial >= *highestSeen;
}

bool ParseSerialText(const std::string &text, std::uint64_t &serial) {
    return ParseDecimal(text, serial) && serial >= 1 && serial <= kReleaseSerialMax;
}

IndexVerdict VerifyReleaseIndex(ReleaseVerifier &crypto, const RsaPublicKey &key, const std::string &bytes,
                                const std::wstring &tree, std::optional<std::uint64_t> highestSeen,
                                ReleaseIndex &index) {
    index = ReleaseIndex();
    std::string body, error;
    std::vector<std::uint8_t> signature;
    if (!SplitReleaseIndex(bytes, body, signature)) return IndexVerdict::kUnreadable;
    if (!crypto.Verify(key, body, signature)) return IndexVerdict::kBadSignature;
    ReleaseIndex read;
    if (!ParseReleaseIndexBody(body, read, error)) return IndexVerdict::kUnreadable;
    if (read.tree != tree) return IndexVerdict::kForeignTree;
    if (!IsSerialAcceptable(highestSeen, read.serial)) return IndexVerdict::kOlderSerial;
    index = std::move(read);
    return IndexVerdict::kTrusted;
}
