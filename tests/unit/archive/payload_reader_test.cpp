#include <gtest/gtest.h>

#include "common/zip/zip_format.h"
#include "setup/archive/archive_result.h"
#include "setup/archive/payload_reader.h"
#include "tests/unit/zip/zip_test_support.h"

using namespace archive_result;

namespace {

std::unique_ptr<PayloadReader> OpenBytes(const std::vector<uint8_t> &bytes) {
    return PayloadReader::Open(std::unique_ptr<ByteStream>(new VectorStream(bytes)));
}

std::vector<uint8_t> WithAttributes(uint32_t external) {
    zip::ZipEntryMeta meta;
    meta.externalAttributes = external;
    return BuildArchive({{"f.txt", TextBytes(10)}}, {}, false, std::string(), meta);
}

}  // namespace

TEST(PayloadAttributes, MappedFromExternalAttributes) {
    using namespace file_attribute;
    const uint32_t ownerWrite = 1u << 23;
    EXPECT_EQ(MapExternalAttributes(ownerWrite), kNormal);
    EXPECT_EQ(MapExternalAttributes(0), kNormal | kReadOnly);  // owner may not write
    EXPECT_EQ(MapExternalAttributes(ownerWrite | 0x01), kNormal | kReadOnly);
    EXPECT_EQ(MapExternalAttributes(ownerWrite | 0x10), kNormal | kDirectory);
    EXPECT_EQ(MapExternalAttributes(ownerWrite | 1u << 30), kNormal | kDirectory);
    EXPECT_EQ(MapExternalAttributes(ownerWrite | 0x20 | 0x02 | 0x04), kNormal | kArchive | kHidden | kSystem);

    auto reader = OpenBytes(WithAttributes(0x00000020));  // DOS archive bit only: bit 23 clear
    ASSERT_TRUE(reader);
    PayloadEntryInfo info;
    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    EXPECT_TRUE(info.attributes & kReadOnly);
    reader = OpenBytes(WithAttributes(zip::DefaultExternalAttributes(false, false)));
    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    EXPECT_FALSE(info.attributes & kReadOnly);
}

TEST(PayloadEntries, CountRequestNamesSizesAndRange) {
    std::string longName(300, 'n');
    auto reader = OpenBytes(BuildArchive({{"General/Title=Viewer/", {}, true},
                                          {longName, TextBytes(5000)}}));
    ASSERT_TRUE(reader);
    PayloadEntryInfo info;
    info.modificationTime = 5;
    ASSERT_EQ(reader->GetEntry(-1, info), kOk);
    EXPECT_EQ(info.index, 2);
    EXPECT_EQ(info.modificationTime, 0u);
    EXPECT_EQ(info.uncompressedSize, 0);

    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    EXPECT_EQ(info.name, L"General/Title=Viewer/");
    EXPECT_TRUE(info.attributes & file_attribute::kDirectory);
    ASSERT_EQ(reader->GetEntry(1, info), kOk);
    EXPECT_EQ(info.name, std::wstring(kMaxEntryNameChars, L'n'));
    EXPECT_EQ(info.uncompressedSize, 5000);
    EXPECT_LT(info.compressedSize, 5000);
    ASSERT_EQ(reader->GetEntry(1, info), kOk);  // from the cache, same answer
    EXPECT_EQ(info.name.size(), kMaxEntryNameChars);

    EXPECT_EQ(reader->GetEntry(2, info), kBadArguments);
    EXPECT_EQ(reader->GetEntry(-2, info), kBadArguments);
}

TEST(PayloadEntries, ExtendedTimesReplaceTheDosTime) {
    zip::ZipEntryMeta meta;
    meta.modificationTime = 1300000000;
    meta.accessTime = 1300000100;
    meta.creationTime = 1200000000;
    meta.dosDate = static_cast<uint16_t>((1999 - 1980) << 9 | 1 << 5 | 1);  // a different day
    meta.dosTime = 0;
    auto reader = OpenBytes(BuildArchive({{"t.txt", TextBytes(1)}}, {}, false, "", meta));
    PayloadEntryInfo info;
    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    EXPECT_EQ(info.modificationTime, zip::UnixToFileTime(1300000000));
    EXPECT_EQ(info.accessTime, zip::UnixToFileTime(1300000100));
    EXPECT_EQ(info.creationTime, zip::UnixToFileTime(1200000000));

    // Without "UT" (extra field blanked to another id) all three come from the DOS fields.
    std::vector<uint8_t> bytes = BuildArchive({{"t.txt", TextBytes(1)}}, {}, false, "", meta);
    zip::WriteLe16(&bytes[zip::kLocalHeaderSize + 5], 0x9999);
    reader = OpenBytes(bytes);
    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    zip::FileTimeTicks dos = 0;
    ASSERT_TRUE(zip::DosToFileTime(meta.dosDate, meta.dosTime, dos));
    EXPECT_EQ(info.modificationTime, dos);
    EXPECT_EQ(info.accessTime, dos);
    EXPECT_EQ(info.creationTime, dos);
}

TEST(PayloadOpen, ArchiveIsFoundBehindAProgramOrRefused) {
    const std::vector<uint8_t> program = RandomBytes(100000, 9);
    for (bool absolute : {false, true}) {
        auto reader = OpenBytes(BuildArchive({{"a.txt", TextBytes(10)}}, program, absolute));
        ASSERT_TRUE(reader) << absolute;
        EXPECT_EQ(reader->Count(), 1);
    }
    // The comment pushes the end record out of the last 65535 bytes (65513 still opens).
    EXPECT_FALSE(OpenBytes(BuildArchive({{"a.txt", TextBytes(10)}}, TextBytes(5000), false, std::string(65520, 'c'))));
    EXPECT_FALSE(OpenBytes(program));
    EXPECT_FALSE(PayloadReader::Open(nullptr));
}

TEST(PayloadExtract, DataArrivesInChunksAndStopsWhenAsked) {
    const std::vector<uint8_t> data = TextBytes(100000);
    std::vector<uint8_t> bytes = BuildArchive({{"dir/", {}, true}, {"a.txt", data}});
    auto reader = OpenBytes(bytes);
    VectorStream out;
    std::vector<uint32_t> chunks;
    ASSERT_EQ(reader->Extract(1, out, false, {}, [&](uint32_t n) { chunks.push_back(n); return true; }), kOk);
    EXPECT_EQ(out.Bytes(), data);
    ASSERT_EQ(chunks.size(), 7u);
    EXPECT_EQ(chunks[0], kExtractChunkBytes);
    EXPECT_EQ(chunks[6], 100000 - 6 * kExtractChunkBytes);

    VectorStream folder;
    EXPECT_EQ(reader->Extract(0, folder, false, {}, {}), kOk);
    EXPECT_TRUE(folder.Bytes().empty());

    int asked = 0;
    VectorStream stopped;
    EXPECT_EQ(reader->Extract(1, stopped, false, [&] { return ++asked == 3; }, {}), kStopped);
    EXPECT_EQ(stopped.Bytes().size(), 2 * kExtractChunkBytes);
    VectorStream refused;
    EXPECT_EQ(reader->Extract(1, refused, false, {}, [](uint32_t) { return false; }), kStopped);
    EXPECT_EQ(refused.Bytes().size(), kExtractChunkBytes);

    EXPECT_EQ(reader->Extract(2, out, false, {}, {}), kBadArguments);
    EXPECT_EQ(reader->Extract(-1, out, false, {}, {}), kBadArguments);
}

TEST(PayloadExtract, MemoryBlockKeepsWhatFitsAndSaysMoreRemains) {
    const std::vector<uint8_t> data = TextBytes(40000);
    auto reader = OpenBytes(BuildArchive({{"a.txt", data}}));
    std::vector<uint8_t> block(30000);
    FixedMemoryStream small(block.data(), block.size());
    EXPECT_EQ(reader->Extract(0, small, true, {}, {}), kMoreData);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), data.begin()));
    std::vector<uint8_t> exact(40000);
    FixedMemoryStream fits(exact.data(), exact.size());
    EXPECT_EQ(reader->Extract(0, fits, true, {}, {}), kOk);
    EXPECT_EQ(exact, data);
}

TEST(PayloadExtract, DamageGivesThePartsCodes) {
    const std::vector<uint8_t> data = TextBytes(50000);
    std::vector<uint8_t> good = BuildArchive({{"a.txt", data}});
    const size_t end = good.size() - zip::kEndRecordSize;
    const size_t dir = zip::ReadLe32(&good[end + 16]);
    VectorStream out;

    std::vector<uint8_t> crc = good;
    zip::WriteLe32(&crc[dir + 16], 1);
    EXPECT_EQ(OpenBytes(crc)->Extract(0, out, false, {}, {}), kWriteFailed);
    std::vector<uint8_t> deflate = good;
    for (size_t i = 0; i < 32; ++i) deflate[zip::kLocalHeaderSize + 5 + 17 + i] = 0xFF;
    EXPECT_EQ(OpenBytes(deflate)->Extract(0, out, false, {}, {}), kWriteFailed);
    std::vector<uint8_t> local = good;
    local[1] = 'Q';
    PayloadEntryInfo info;
    EXPECT_EQ(OpenBytes(local)->GetEntry(0, info), kBadLocalHeader);
    EXPECT_EQ(OpenBytes(local)->Extract(0, out, false, {}, {}), kBadLocalHeader);
    std::vector<uint8_t> extra = good;
    zip::WriteLe16(&extra[zip::kLocalHeaderSize + 5 + 2], 200);
    EXPECT_EQ(OpenBytes(extra)->GetEntry(0, info), kBadExtraField);

    uint8_t tiny[10];
    FixedMemoryStream full(tiny, 0);
    EXPECT_EQ(OpenBytes(good)->Extract(0, full, false, {}, {}), kWriteFailed);  // a file that fails
}
