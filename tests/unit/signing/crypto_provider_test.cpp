// The system's provider against the shared vectors. The same file builds into
// the native tests (OpenSSL) and the Wine tests (CryptoAPI), so both are held
// to one set of answers made by a third implementation.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/crypto/file_sha256.h"
#include "common/crypto/release_crypto.h"
#include "tests/vectors/signature_vectors.h"

namespace {

std::string SourceDir() { return TESSEL_TEST_SOURCE_DIR; }

RsaPublicKey PublicKeyFile(const std::string &relative) {
    RsaPublicKey key;
    std::string error;
    EXPECT_TRUE(ParsePublicKeyText(ReadWholeFile(SourceDir() + "/" + relative), key, error)) << relative << error;
    return key;
}

RsaPrivateKey SamplePrivateKey() {
    RsaPrivateKey key;
    std::string error;
    EXPECT_TRUE(ParsePrivateKeyText(
        ReadWholeFile(SourceDir() + "/samples/release-key/sample-release.private-key"), key, error))
        << error;
    return key;
}

TEST(CryptoProvider, AgreesWithTheSharedVectors) {
    const std::vector<SignatureVector> vectors = ReadSignatureVectors(SourceDir());
    ASSERT_EQ(vectors.size(), 20u);
    const auto crypto = MakeSystemCrypto();
    const RsaPrivateKey privateKey = SamplePrivateKey();
    for (const SignatureVector &v : vectors) {
        SCOPED_TRACE(v.name);
        Sha256Digest digest{};
        ASSERT_TRUE(Sha256Of(*crypto, v.message, digest));
        EXPECT_EQ(HexText(digest), HexText(v.sha256));
        EXPECT_EQ(crypto->Verify(PublicKeyFile(v.keyFile), v.message, v.signature), v.valid);
        if (v.valid) {
            // PKCS#1 v1.5 is deterministic: the same key signs to the same bytes everywhere.
            std::vector<std::uint8_t> signature;
            ASSERT_TRUE(crypto->Sign(privateKey, v.message, signature));
            EXPECT_EQ(HexText(signature), HexText(v.signature));
        }
    }
}

TEST(CryptoProvider, HashesAFileInBlocksAsItsBytes) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 251);
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "tessel-sha256-test.bin";
    std::ofstream(file, std::ios::binary) << bytes;
    const auto crypto = MakeSystemCrypto();
    Sha256Digest whole{}, streamed{};
    std::uint64_t size = 0;
    ASSERT_TRUE(Sha256Of(*crypto, bytes, whole));
    ASSERT_TRUE(Sha256OfFile(*crypto, file, streamed, size));
    EXPECT_EQ(HexText(streamed), HexText(whole));
    EXPECT_EQ(size, bytes.size());
    std::filesystem::remove(file);
    EXPECT_FALSE(Sha256OfFile(*crypto, file, streamed, size));
}

TEST(CryptoProvider, GeneratesKeysThatSignAndReadBack) {
    const auto crypto = MakeSystemCrypto();
    RsaPrivateKey generated;
    ASSERT_TRUE(crypto->GenerateKey(generated));
    RsaPrivateKey reread;
    RsaPublicKey publicHalf;
    std::string error;
    ASSERT_TRUE(ParsePrivateKeyText(FormatPrivateKeyText(generated, "test"), reread, error)) << error;
    ASSERT_TRUE(ParsePublicKeyText(FormatPublicKeyText(generated.publicKey), publicHalf, error)) << error;
    std::vector<std::uint8_t> signature;
    ASSERT_TRUE(crypto->Sign(reread, "serial 7\n", signature));
    EXPECT_TRUE(crypto->Verify(publicHalf, "serial 7\n", signature));
    EXPECT_FALSE(crypto->Verify(publicHalf, "serial 8\n", signature));
    EXPECT_FALSE(crypto->Verify(PublicKeyFile("samples/release-key/sample-release.public-key"), "serial 7\n",
                                signature));
}

}  // namespace
