#include "common/crypto/sha256_digest.h"

#include <algorithm>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string HexText(const std::uint8_t *bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

std::string HexText(const std::vector<std::uint8_t> &bytes) { return HexText(bytes.data(), bytes.size()); }

std::string HexText(const Sha256Digest &digest) { return HexText(digest.data(), digest.size()); }

bool ParseHexText(const std::string &text, std::vector<std::uint8_t> &bytes) {
    bytes.clear();
    if (text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

bool ParseDigestText(const std::string &text, Sha256Digest &digest) {
    std::vector<std::uint8_t> bytes;
    if (text.size() != 64 || !ParseHexText(text, bytes))
        return false;
    for (char c : text)
        if (c >= 'A' && c <= 'F') return false;
    std::copy(bytes.begin(), bytes.end(), digest.begin());
    return true;
}
