#include <gtest/gtest.h>

#include "common/zip/zip_error.h"
#include "common/zip/zip_format.h"
#include "setup/archive/payload_reader.h"
#include "tests/unit/zip/zip_test_support.h"

namespace {

std::unique_ptr<PayloadReader> OpenBytes(const std::vector<uint8_t> &bytes) {
    return std::unique_ptr<PayloadReader>(new PayloadReader(std::unique_ptr<ByteStream>(new VectorStream(bytes))));
}

std::vector<uint8_t> WithAttributes(uint32_t external) {
    zip::ZipEntryMeta meta;
    meta.externalAttributes = external;
    return BuildArchive({{"f.txt", TextBytes(10)}}, {}, false, std::string(), meta);
}

// The cause the call threw, or nothing when it did not throw.
template <typename Call>
std::string CauseOf(Call call) {
    try {
        call();
    } catch (const CZipException &e) {
        return std::to_string(static_cast<int>(e.Cause()));
    }
    return "none";
}
std::string Cause(ZipCause cause) { return std::to_string(static_cast<int>(cause)); }

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

    EXPECT_TRUE(OpenBytes(WithAttributes(0x00000020))->Entry(0).attributes & kReadOnly);  // bit 23 clear
    EXPECT_FALSE(OpenBytes(WithAttributes(zip::DefaultExternalAttributes(false, false)))->Entry(0).attributes &
                 kReadOnly);
}

TEST(PayloadEntries, NamesSizesAndRange) {
    std::string longName(300, 'n');
    auto reader = OpenBytes(BuildArchive({{"General/Title=Viewer/", {}, true},
                                          {longName, TextBytes(5000)}}));
    EXPECT_EQ(reader->Count(), 2);
    EXPECT_EQ(reader->Entry(0).name, L"General/Title=Viewer/");
    EXPECT_TRUE(reader->Entry(0).IsFolder());
    const PayloadEntryInfo &info = reader->Entry(1);
    EXPECT_EQ(info.index, 1);
    EXPECT_EQ(info.name, std::wstring(kMaxEntryNameChars, L'n'));
    EXPECT_EQ(info.uncompressedSize, 5000u);
    EXPECT_LT(info.compressedSize, 5000u);
    EXPECT_EQ(reader->Entry(1).name.size(), kMaxEntryNameChars);  // from the cache, same answer

    for (int index : {2, -1, -2}) {
        EXPECT_EQ(CauseOf([&] { reader->Entry(index); }), Cause(ZipCause::NoSuchEntry)) << index;
        VectorStream out;
        EXPECT_EQ(CauseOf([&] { reader->Extract(index, out, {}, {}); }), Cause(ZipCause::NoSuchEntry)) << index;
    }
}

TEST(PayloadEntries, ExtendedTimesReplaceTheDosTime) {
    zip::ZipEntryMeta meta;
    meta.modificationTime = 1300000000;
    meta.accessTime = 1300000100;
    meta.creationTime = 1200000000;
    meta.dosDate = static_cast<uint16_t>((1999 - 1980) << 9 | 1 << 5 | 1);  // a different day
    meta.dosTime = 0;
    PayloadEntryInfo info = OpenBytes(BuildArchive({{"t.txt", TextBytes(1)}}, {}, false, "", meta))->Entry(0);
    EXPECT_EQ(info.modificationTime, zip::UnixToFileTime(1300000000));
    EXPECT_EQ(info.accessTime, zip::UnixToFileTime(1300000100));
    EXPECT_EQ(info.creationTime, zip::UnixToFileTime(1200000000));

    // Without "UT" (extra field blanked to another id) all three come from the DOS fields.
    std::vector<uint8_t> bytes = BuildArchive({{"t.txt", TextBytes(1)}}, {}, false, "", meta);
    zip::WriteLe16(&bytes[zip::kLocalHeaderSize + 5], 0x9999);
    info = OpenBytes(bytes)->Entry(0);
    zip::FileTimeTicks dos = 0;
    ASSERT_TRUE(zip::DosToFileTime(meta.dosDate, meta.dosTime, dos));
    EXPECT_EQ(info.modificationTime, dos);
    EXPECT_EQ(info.accessTime, dos);
    EXPECT_EQ(info.creationTime, dos);
}

TEST(PayloadOpen, ArchiveIsFoundBehindAProgramOrRefused) {
    const std::vector<uint8_t> program = RandomBytes(100000, 9);
    for (bool absolute : {false, true})
        EXPECT_EQ(OpenBytes(BuildArchive({{"a.txt", TextBytes(10)}}, program, absolute))->Count(), 1) << absolute;
    // The comment pushes the end record out of the last 65535 bytes (65513 still opens).
    EXPECT_EQ(CauseOf([] { OpenBytes(BuildArchive({{"a.txt", TextBytes(10)}}, TextBytes(5000), false,
                                                  std::string(65520, 'c'))); }),
              Cause(ZipCause::NoEndRecord));
    EXPECT_EQ(CauseOf([&] { OpenBytes(program); }), Cause(ZipCause::NoEndRecord));
    // An archive of no entries at the file's first byte is no payload.
    EXPECT_NE(CauseOf([] { OpenBytes(BuildArchive({})); }), "none");
    EXPECT_EQ(CauseOf([] { PayloadReader reader(nullptr); }), Cause(ZipCause::OpenFailed));
}

TEST(PayloadExtract, DataArrivesInChunksAndStopsWhenAsked) {
    const std::vector<uint8_t> data = TextBytes(100000);
    auto reader = OpenBytes(BuildArchive({{"dir/", {}, true}, {"a.txt", data}}));
    VectorStream out;
    std::vector<uint32_t> chunks;
    ASSERT_EQ(reader->Extract(1, out, {}, [&](uint32_t n) { chunks.push_back(n); return true; }),
              zip::ChunkOutcome::Finished);
    EXPECT_EQ(out.Bytes(), data);
    ASSERT_EQ(chunks.size(), 7u);
    EXPECT_EQ(chunks[0], kExtractChunkBytes);
    EXPECT_EQ(chunks[6], 100000 - 6 * kExtractChunkBytes);

    VectorStream folder;
    EXPECT_EQ(reader->Extract(0, folder, {}, {}), zip::ChunkOutcome::Finished);
    EXPECT_TRUE(folder.Bytes().empty());

    int asked = 0;
    VectorStream stopped;
    EXPECT_EQ(reader->Extract(1, stopped, [&] { return ++asked == 3; }, {}), zip::ChunkOutcome::Stopped);
    EXPECT_EQ(stopped.Bytes().size(), 2 * kExtractChunkBytes);
    VectorStream refused;
    EXPECT_EQ(reader->Extract(1, refused, {}, [](uint32_t) { return false; }), zip::ChunkOutcome::Declined);
    EXPECT_EQ(refused.Bytes().size(), kExtractChunkBytes);

    // A full target keeps what fits and says so.
    std::vector<uint8_t> block(30000);
    FixedMemoryStream small(block.data(), block.size());
    EXPECT_EQ(reader->Extract(1, small, {}, {}), zip::ChunkOutcome::WriteFailed);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), data.begin()));
}

TEST(PayloadExtract, DamageThrowsItsCause) {
    const std::vector<uint8_t> good = BuildArchive({{"a.txt", TextBytes(50000)}});
    const size_t end = good.size() - zip::kEndRecordSize;
    const size_t dir = zip::ReadLe32(&good[end + 16]);
    struct Damage {
        const char *what;
        size_t at;
        std::vector<uint8_t> bytes;
        bool entryReads;  // Entry() still answers; only the data is bad
        ZipCause cause;
    } damages[] = {
        {"CRC-32", dir + 16, {1, 0, 0, 0}, true, ZipCause::CrcMismatch},
        {"deflate data", zip::kLocalHeaderSize + 5 + 17, std::vector<uint8_t>(32, 0xFF), true, ZipCause::BadData},
        {"local signature", 1, {'Q'}, false, ZipCause::BadLocalHeader},
        {"extra length", zip::kLocalHeaderSize + 5 + 2, {200, 0}, false, ZipCause::BadExtraField},
    };
    for (const Damage &d : damages) {
        std::vector<uint8_t> bytes = good;
        std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(d.at));
        auto reader = OpenBytes(bytes);
        EXPECT_EQ(CauseOf([&] { reader->Entry(0); }), d.entryReads ? "none" : Cause(d.cause)) << d.what;
        VectorStream out;
        EXPECT_EQ(CauseOf([&] { reader->Extract(0, out, {}, {}); }), Cause(d.cause)) << d.what;
    }
}
