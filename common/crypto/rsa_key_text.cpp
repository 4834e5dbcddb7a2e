#include "common/crypto/rsa_key_text.h"

#include <map>
#include <sstream>

#include "common/crypto/sha256_digest.h"

namespace {

const char kPublicHeader[] = "tessel-release-public-key";
const char kPrivateHeader[] = "tessel-release-private-key";

struct KeyFields {
    std::string header;
    std::map<std::string, std::vector<std::uint8_t>> numbers;
};

bool ReadFields(const std::string &text, KeyFields &fields, std::string &error) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (fields.header.empty()) {
            fields.header = line;
            continue;
        }
        const size_t blank = line.find(' ');
        std::vector<std::uint8_t> number;
        if (blank == std::string::npos || !ParseHexText(line.substr(blank + 1), number) ||
            TrimNumber(number).empty()) {
            error = "not a \"name hex\" line: " + line.substr(0, 40);
            return false;
        }
        if (!fields.numbers.emplace(line.substr(0, blank), TrimNumber(number)).second) {
            error = "\"" + line.substr(0, blank) + "\" given twice";
            return false;
        }
    }
    return true;
}

bool Take(KeyFields &fields, const char *name, std::vector<std::uint8_t> &number, std::string &error) {
    auto it = fields.numbers.find(name);
    if (it == fields.numbers.end()) {
        error = std::string("no \"") + name + "\" line";
        return false;
    }
    number = it->second;
    return true;
}

unsigned BitLength(const std::vector<std::uint8_t> &number) {
    if (number.empty()) return 0;
    unsigned bits = static_cast<unsigned>(number.size() - 1) * 8;
    for (std::uint8_t top = number[0]; top; top >>= 1) ++bits;
    return bits;
}

bool CheckPublic(const RsaPublicKey &key, std::string &error) {
    if (BitLength(key.modulus) != kReleaseKeyBits) {
        error = "the modulus has " + std::to_string(BitLength(key.modulus)) + " bits, not " +
                std::to_string(kReleaseKeyBits);
        return false;
    }
    if (key.exponent.size() > 4 || (key.exponent.back() & 1) == 0 ||
        (key.exponent.size() == 1 && key.exponent[0] < 3)) {
        error = "the public exponent is not an odd number from 3 to 2^32-1";
        return false;
    }
    return true;
}

void Line(std::ostringstream &out, const char *name, const std::vector<std::uint8_t> &number) {
    out << name << " " << HexText(TrimNumber(number)) << "\n";
}

}  // namespace

std::vector<std::uint8_t> TrimNumber(const std::vector<std::uint8_t> &number) {
    size_t first = 0;
    while (first < number.size() && number[first] == 0) ++first;
    return std::vector<std::uint8_t>(number.begin() + first, number.end());
}

std::vector<std::uint8_t> PadNumber(const std::vector<std::uint8_t> &number, size_t width) {
    const std::vector<std::uint8_t> trimmed = TrimNumber(number);
    if (trimmed.size() > width) return {};
    std::vector<std::uint8_t> padded(width - trimmed.size(), 0);
    padded.insert(padded.end(), trimmed.begin(), trimmed.end());
    return padded;
}

std::string FormatPublicKeyText(const RsaPublicKey &key) {
    std::ostringstream out;
    out << kPublicHeader << "\n";
    Line(out, "modulus", key.modulus);
    Line(out, "exponent", key.exponent);
    return out.str();
}

std::string FormatPrivateKeyText(const RsaPrivateKey &key, const std::string &comment) {
    std::ostringstream out;
    if (!comment.empty()) out << "# " << comment << "\n";
    out << kPrivateHeader << "\n";
    Line(out, "modulus", key.publicKey.modulus);
    Line(out, "exponent", key.publicKey.exponent);
    Line(out, "private-exponent", key.privateExponent);
    Line(out, "prime1", key.prime1);
    Line(out, "prime2", key.prime2);
    Line(out, "exponent1", key.exponent1);
    Line(out, "exponent2", key.exponent2);
    Line(out, "coefficient", key.coefficient);
    return out.str();
}

bool ParsePublicKeyText(const std::string &text, RsaPublicKey &key, std::string &error) {
    KeyFields fields;
    if (!ReadFields(text, fields, error)) return false;
    if (fields.header != kPublicHeader && fields.header != kPrivateHeader) {
        error = "not a release key file (no \"" + std::string(kPublicHeader) + "\" line)";
        return false;
    }
    return Take(fields, "modulus", key.modulus, error) && Take(fields, "exponent", key.exponent, error) &&
           CheckPublic(key, error);
}

bool ParsePrivateKeyText(const std::string &text, RsaPrivateKey &key, std::string &error) {
    KeyFields fields;
    if (!ReadFields(text, fields, error)) return false;
    if (fields.header != kPrivateHeader) {
        error = "not a private release key file (no \"" + std::string(kPrivateHeader) + "\" line)";
        return false;
    }
    if (!(Take(fields, "modulus", key.publicKey.modulus, error) &&
          Take(fields, "exponent", key.publicKey.exponent, error) &&
          Take(fields, "private-exponent", key.privateExponent, error) &&
          Take(fields, "prime1", key.prime1, error) && Take(fields, "prime2", key.prime2, error) &&
          Take(fields, "exponent1", key.exponent1, error) &&
          Take(fields, "exponent2", key.exponent2, error) &&
          Take(fields, "coefficient", key.coefficient, error) && CheckPublic(key.publicKey, error)))
        return false;
    const size_t half = kReleaseKeyBits / 16;
    for (const auto *number : {&key.prime1, &key.prime2, &key.exponent1, &key.exponent2, &key.coefficient})
        if (number->size() > half) {
            error = "a prime or CRT number is longer than half the modulus";
            return false;
        }
    if (key.privateExponent.size() > kReleaseKeyBits / 8) {
        error = "the private exponent is longer than the modulus";
        return false;
    }
    return true;
}
