#include <gtest/gtest.h>

#include "common/crypto/release_crypto.h"
#include "common/text.h"
#include "tests/vectors/signature_vectors.h"
#include "updater/catalogue/release_index.h"
#include "updater/catalogue/release_index_lister.h"
#include "updater/catalogue/release_key.h"

namespace {

ReleaseIndexEntry Folder(const std::wstring &path) {
    ReleaseIndexEntry e;
    e.path = path;
    e.folder = true;
    return e;
}

ReleaseIndexEntry File(const std::wstring &path, std::uint64_t size, std::uint8_t fill) {
    ReleaseIndexEntry e;
    e.path = path;
    e.size = size;
    e.sha256.fill(fill);
    return e;
}

// Blanks, Korean names, names that differ only in case, a size past 4 GiB.
ReleaseIndex SampleIndex() {
    ReleaseIndex index;
    index.tree = L"/[MID]/marbo K4";
    index.serial = 41;
    index.entries = {File(L"설치.zip", 5000000000ull, 9),
                     Folder(L"[common2]"),
                     Folder(L"[common2]/Drivers_1"),
                     Folder(L"[common2]/Drivers_1/Audio Driver"),
                     File(L"[common2]/Drivers_1/Audio Driver/A.zip", 2, 1),
                     File(L"[common2]/Drivers_1/Audio Driver/a.zip", 3, 2),
                     Folder(L"[common2]/Drivers_1/Audio Driver/Win7"),
                     Folder(L"[common2]/Drivers_1/오디오"),
                     File(L"[common2]/Drivers_1 extra", 0, 3)};
    SortIndexEntries(index.entries);
    return index;
}

bool SameIndex(const ReleaseIndex &a, const ReleaseIndex &b) {
    if (a.tree != b.tree || a.serial != b.serial || a.entries.size() != b.entries.size()) return false;
    for (size_t i = 0; i < a.entries.size(); ++i) {
        const ReleaseIndexEntry &x = a.entries[i], &y = b.entries[i];
        if (x.path != y.path || x.folder != y.folder || x.size != y.size || x.sha256 != y.sha256) return false;
    }
    return true;
}

TEST(ReleaseIndex, ReadsBackWhatItWritesInTheServersOrder) {
    const ReleaseIndex index = SampleIndex();
    // A folder before what it holds, then code point order: "Drivers_1" before
    // "Drivers_1 extra" although " " < "/"; upper case before lower case; Korean last.
    std::vector<std::wstring> order;
    for (const ReleaseIndexEntry &e : index.entries) order.push_back(e.path);
    EXPECT_EQ(order, (std::vector<std::wstring>{
                         L"[common2]", L"[common2]/Drivers_1", L"[common2]/Drivers_1/Audio Driver",
                         L"[common2]/Drivers_1/Audio Driver/A.zip", L"[common2]/Drivers_1/Audio Driver/Win7",
                         L"[common2]/Drivers_1/Audio Driver/a.zip", L"[common2]/Drivers_1/오디오",
                         L"[common2]/Drivers_1 extra", L"설치.zip"}));
    const std::vector<std::uint8_t> signature = {0xAB, 0x01};
    std::string body, error;
    std::vector<std::uint8_t> readSignature;
    ReleaseIndex read;
    ASSERT_TRUE(SplitReleaseIndex(AppendReleaseSignature(FormatReleaseIndexBody(index), signature), body,
                                  readSignature));
    EXPECT_EQ(readSignature, signature);
    ASSERT_TRUE(ParseReleaseIndexBody(body, read, error)) << error;
    EXPECT_TRUE(SameIndex(index, read));
    EXPECT_EQ(ReleaseIndexPathOf(index.tree), L"/[MID]/marbo K4.tessel-index");
}

TEST(ReleaseIndex, WriterRefusesWhatTheReaderWouldRefuse) {
    ReleaseIndex index = SampleIndex();
    std::swap(index.entries[0], index.entries[1]);
    EXPECT_THROW(FormatReleaseIndexBody(index), std::invalid_argument);
    index = SampleIndex();
    index.entries.erase(index.entries.begin());  // "[common2]" gone: its children have no folder
    EXPECT_THROW(FormatReleaseIndexBody(index), std::invalid_argument);
    for (const wchar_t *tree : {L"", L"relative", L"/a/", L"/a//b", L"/a/../b", L"/a\\b"}) {
        index = SampleIndex();
        index.tree = tree;
        EXPECT_THROW(FormatReleaseIndexBody(index), std::invalid_argument) << NarrowUtf8(tree);
    }
    index = SampleIndex();
    index.serial = 0;
    EXPECT_THROW(FormatReleaseIndexBody(index), std::invalid_argument);
}

TEST(ReleaseIndex, ReaderRefusesEveryOtherForm) {
    const std::string head = "tessel-release-index 1\ntree /[MID]/m\nserial 3\n";
    const std::string digest(64, 'a');
    const struct {
        const char *why;
        std::string body;
    } cases[] = {
        {"empty", ""},
        {"other format", "tessel-release-index 2\ntree /[MID]/m\nserial 3\n"},
        {"no serial", "tessel-release-index 1\ntree /[MID]/m\n"},
        {"serial 0", "tessel-release-index 1\ntree /[MID]/m\nserial 0\n"},
        {"leading zero", "tessel-release-index 1\ntree /[MID]/m\nserial 03\n"},
        {"serial too large", "tessel-release-index 1\ntree /[MID]/m\nserial 1000000000000000000\n"},
        {"tree with dots", "tessel-release-index 1\ntree /[MID]/../m\nserial 3\n"},
        {"carriage return", "tessel-release-index 1\r\ntree /[MID]/m\nserial 3\n"},
        {"no last line end", head + "folder a"},
        {"unknown record", head + "link a\n"},
        {"upper-case digest", head + "file 1 " + std::string(64, 'A') + " a\n"},
        {"short digest", head + "file 1 " + std::string(63, 'a') + " a\n"},
        {"size with sign", head + "file -1 " + digest + " a\n"},
        {"no path", head + "file 1 " + digest + "\n"},
        {"empty part", head + "folder a\nfolder a//b\n"},
        {"dot-dot", head + "folder ..\n"},
        {"backslash", head + "folder a\\b\n"},
        {"control character", head + "folder a\tb\n"},
        {"not UTF-8", head + "folder \xC3\x28\n"},
        {"overlong UTF-8", head + "folder \xC0\xAF\n"},
        {"twice", head + "folder a\nfolder a\n"},
        {"out of order", head + "folder b\nfolder a\n"},
        {"no folder before", head + "file 1 " + digest + " a/b\n"},
        {"a file as folder", head + "file 1 " + digest + " a\nfolder a/b\n"},
    };
    for (const auto &c : cases) {
        ReleaseIndex index;
        std::string error;
        EXPECT_FALSE(ParseReleaseIndexBody(c.body, index, error)) << c.why;
    }
    ReleaseIndex index;
    std::string error;
    EXPECT_TRUE(ParseReleaseIndexBody(head + "folder a\nfile 0 " + digest + " a/b c\n", index, error)) << error;

    std::string body;
    std::vector<std::uint8_t> signature;
    EXPECT_FALSE(SplitReleaseIndex(head, body, signature));                       // no signature line
    EXPECT_FALSE(SplitReleaseIndex(head + "signature 0g\n", body, signature));    // not hex
    EXPECT_FALSE(SplitReleaseIndex(head + "signature ab", body, signature));      // no line end
    EXPECT_FALSE(SplitReleaseIndex(std::string(kReleaseIndexMaxBytes, 'x') + "\nsignature ab\n", body, signature));
}

TEST(ReleaseIndex, SerialNeverGoesBack) {
    EXPECT_TRUE(IsSerialAcceptable(std::nullopt, 1));
    EXPECT_TRUE(IsSerialAcceptable(5, 5));  // the same index fetched again
    EXPECT_TRUE(IsSerialAcceptable(5, 6));
    EXPECT_FALSE(IsSerialAcceptable(5, 4));
    std::uint64_t serial = 0;
    EXPECT_TRUE(ParseSerialText("999999999999999999", serial));
    EXPECT_EQ(serial, kReleaseSerialMax);
    for (const char *bad : {"", "0", "01", "1 ", "+1", "1000000000000000000", "18446744073709551617"})
        EXPECT_FALSE(ParseSerialText(bad, serial)) << bad;
}

std::string KeyText(const char *relative) { return ReadWholeFile(std::string(TESSEL_TEST_SOURCE_DIR) + relative); }

TEST(ReleaseIndex, DeviceChecksSignatureTreeAndSerialInThatOrder) {
    const auto crypto = MakeSystemCrypto();
    RsaPrivateKey key;
    RsaPublicKey other;
    std::string error;
    ASSERT_TRUE(ParsePrivateKeyText(KeyText("/samples/release-key/sample-release.private-key"), key, error));
    ASSERT_TRUE(ParsePublicKeyText(KeyText("/tests/vectors/other.public-key"), other, error));
    const auto sign = [&](const ReleaseIndex &index) {
        const std::string body = FormatReleaseIndexBody(index);
        std::vector<std::uint8_t> signature;
        EXPECT_TRUE(crypto->Sign(key, body, signature));
        return AppendReleaseSignature(body, signature);
    };
    const std::string good = sign(SampleIndex());
    std::string changed = good;
    changed[changed.find("Audio")] = 'a';
    ReleaseIndex foreign = SampleIndex();
    foreign.tree = L"/[MID]/marbo K5";
    ReleaseIndex read;
    const std::wstring tree = L"/[MID]/marbo K4";
    const struct {
        const char *what;
        std::string bytes;
        const RsaPublicKey &key;
        std::optional<std::uint64_t> seen;
        IndexVerdict verdict;
    } cases[] = {
        {"first sight", good, key.publicKey, std::nullopt, IndexVerdict::kTrusted},
        {"same serial again", good, key.publicKey, 41, IndexVerdict::kTrusted},
        {"one byte changed", changed, key.publicKey, std::nullopt, IndexVerdict::kBadSignature},
        {"another key", good, other, std::nullopt, IndexVerdict::kBadSignature},
        {"signature cut", good.substr(0, good.size() - 3) + "\n", key.publicKey, std::nullopt,
         IndexVerdict::kBadSignature},
        {"text cut", good.substr(0, good.size() / 2), key.publicKey, std::nullopt, IndexVerdict::kUnreadable},
        {"another model's", sign(foreign), key.publicKey, std::nullopt, IndexVerdict::kForeignTree},
        {"older than seen", good, key.publicKey, 42, IndexVerdict::kOlderSerial},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VerifyReleaseIndex(*crypto, c.key, c.bytes, tree, c.seen, read), c.verdict) << c.what;
        EXPECT_EQ(read.entries.empty(), c.verdict != IndexVerdict::kTrusted) << c.what;
    }
}

TEST(ReleaseIndex, ListerListsEachFolderAsTheServerWould) {
    const ReleaseIndex index = SampleIndex();
    ReleaseIndexLister lister(index);
    TextList folders;
    FileListing files;
    ASSERT_TRUE(lister.ListFolders(folders, L"/[MID]/marbo K4/[common2]/Drivers_1"));
    EXPECT_EQ(folders, (TextList{L"Audio Driver", L"오디오"}));
    ASSERT_TRUE(lister.ListFiles(files, L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/"));
    // Names that differ only in case stay two entries, in the index's order.
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].size, L"2");
    EXPECT_EQ(files[1].size, L"3");
    EXPECT_TRUE(EqualsNoCase(files[0].name, files[1].name));
    ASSERT_TRUE(lister.ListFiles(files, L"/[MID]/marbo K4"));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, L"설치.zip");
    EXPECT_EQ(files[0].size, L"705032704");  // the low 32 bits, as FTP's LIST gives them
    EXPECT_FALSE(lister.ListFolders(folders, L"/[MID]/marbo K4/nothing"));
    EXPECT_FALSE(lister.ListFolders(folders, L"/[MID]/marbo K4 other"));
    EXPECT_FALSE(lister.ListFolders(folders, L"/[MID]/marbo K4/설치.zip"));
    EXPECT_FALSE(lister.CreateFolder(L"/[MID]/[]"));
    ASSERT_NE(lister.FindFile(L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/a.zip"), nullptr);
    EXPECT_EQ(lister.FindFile(L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/a.zip")->size, 3u);
    EXPECT_EQ(lister.FindFile(L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/Win7"), nullptr);
}

TEST(ReleaseKeyText, BuildSettingEmbedsThePublicKey) {
    RsaPublicKey embedded, sample;
    std::string error;
    ASSERT_TRUE(EmbeddedReleaseKey(embedded));
    ASSERT_TRUE(ParsePublicKeyText(KeyText("/samples/release-key/sample-release.public-key"), sample, error));
    EXPECT_EQ(embedded.modulus, sample.modulus);
    EXPECT_EQ(embedded.exponent, sample.exponent);
}

TEST(ReleaseKeyText, RefusesKeysNoDeviceCouldUse) {
    const std::string privateText = KeyText("/samples/release-key/sample-release.private-key");
    RsaPrivateKey key;
    RsaPublicKey publicKey;
    std::string error;
    ASSERT_TRUE(ParsePrivateKeyText(privateText, key, error)) << error;
    ASSERT_TRUE(ParsePublicKeyText(privateText, publicKey, error)) << error;  // its public half
    EXPECT_EQ(publicKey.modulus, key.publicKey.modulus);
    EXPECT_FALSE(ParsePrivateKeyText(FormatPublicKeyText(publicKey), key, error));
    RsaPublicKey small = publicKey;
    small.modulus.erase(small.modulus.begin());
    EXPECT_FALSE(ParsePublicKeyText(FormatPublicKeyText(small), publicKey, error));
    RsaPublicKey even = key.publicKey;
    even.exponent = {0x01, 0x00, 0x00};
    EXPECT_FALSE(ParsePublicKeyText(FormatPublicKeyText(even), publicKey, error));
    EXPECT_FALSE(ParsePublicKeyText("tessel-release-public-key\nmodulus 12\nmodulus 12\n", publicKey, error));
    EXPECT_FALSE(ParsePublicKeyText("-----BEGIN PUBLIC KEY-----\n", publicKey, error));
}

}  // namespace
