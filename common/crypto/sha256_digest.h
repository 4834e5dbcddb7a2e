#ifndef COMMON_CRYPTO_SHA256_DIGEST_H
#define COMMON_CRYPTO_SHA256_DIGEST_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Sha256Digest = std::array<std::uint8_t, 32>;

// Lower-case hexadecimal, two digits a byte.
std::string HexText(const std::uint8_t *bytes, size_t count);
std::string HexText(const std::vector<std::uint8_t> &bytes);
std::string HexText(const Sha256Digest &digest);
// Exactly two hexadecimal digits a byte (either case); false for anything else.
bool ParseHexText(const std::string &text, std::vector<std::uint8_t> &bytes);
// Exactly 64 lower-case digits, the form an index writes.
bool ParseDigestText(const std::string &text, Sha256Digest &digest);

#endif
