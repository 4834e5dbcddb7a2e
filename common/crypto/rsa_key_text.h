#ifndef COMMON_CRYPTO_RSA_KEY_TEXT_H
#define COMMON_CRYPTO_RSA_KEY_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

// The release keys as small text files that both OpenSSL and CryptoAPI can be
// fed from without a certificate library: one "name hex" line per number, the
// numbers big-endian without leading zero bytes. Lines starting with "#" are
// comments (the sample key says there that it is not for releases).

constexpr unsigned kReleaseKeyBits = 3072;

struct RsaPublicKey {
    std::vector<std::uint8_t> modulus;
    std::vector<std::uint8_t> exponent;
};

struct RsaPrivateKey {
    RsaPublicKey publicKey;
    std::vector<std::uint8_t> privateExponent;
    std::vector<std::uint8_t> prime1, prime2;
    std::vector<std::uint8_t> exponent1, exponent2;  // d mod (p-1), d mod (q-1)
    std::vector<std::uint8_t> coefficient;           // q^-1 mod p
};

std::string FormatPublicKeyText(const RsaPublicKey &key);
std::string FormatPrivateKeyText(const RsaPrivateKey &key, const std::string &comment);

// A public key file, or a private key file read for its public half. The
// modulus must have exactly kReleaseKeyBits bits; the exponent is odd, at least
// 3 and fits 32 bits (CryptoAPI's key blob holds no more). False with `error`.
bool ParsePublicKeyText(const std::string &text, RsaPublicKey &key, std::string &error);
// A private key file: every number present, primes of half the modulus' size.
bool ParsePrivateKeyText(const std::string &text, RsaPrivateKey &key, std::string &error);

// The number in exactly `width` bytes, big-endian; empty when it does not fit.
std::vector<std::uint8_t> PadNumber(const std::vector<std::uint8_t> &number, size_t width);
// Leading zero bytes dropped.
std::vector<std::uint8_t> TrimNumber(const std::vector<std::uint8_t> &number);

#endif
