#ifndef TESTS_VECTORS_SIGNATURE_VECTORS_H
#define TESTS_VECTORS_SIGNATURE_VECTORS_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/crypto/sha256_digest.h"

// The shared signature vectors (signature-vectors.txt, made by
// make_signature_vectors.py): the same file is checked natively and under Wine.
struct SignatureVector {
    std::string name;
    std::string message;
    Sha256Digest sha256{};
    std::string keyFile;  // from the source folder
    std::vector<std::uint8_t> signature;
    bool valid = false;
};

inline std::string ReadWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Empty when the file cannot be read or a line does not parse.
inline std::vector<SignatureVector> ReadSignatureVectors(const std::string &sourceDir) {
    std::vector<SignatureVector> vectors;
    std::istringstream lines(ReadWholeFile(sourceDir + "/tests/vectors/signature-vectors.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        SignatureVector v;
        std::string message, sha, signature, expected;
        fields >> v.name >> message >> sha >> v.keyFile >> signature >> expected;
        std::vector<std::uint8_t> bytes;
        if (message != "-" && !ParseHexText(message, bytes)) return {};
        v.message.assign(bytes.begin(), bytes.end());
        if (!ParseDigestText(sha, v.sha256) || !ParseHexText(signature, v.signature) ||
            (expected != "valid" && expected != "invalid"))
            return {};
        v.valid = expected == "valid";
        vectors.push_back(v);
    }
    return vectors;
}

#endif
