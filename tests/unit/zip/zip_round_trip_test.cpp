#include <gtest/gtest.h>

#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "tests/unit/zip/zip_test_support.h"

using namespace zip;

namespace {

std::vector<uint8_t> ReadAll(ByteStream &stream, const ZipDirectory &dir, size_t index,
                             size_t chunk = 16384) {
    ZipEntryReader reader(stream, dir, dir.Entry(index));
    std::vector<uint8_t> data, buffer(chunk);
    for (size_t n; (n = reader.Read(buffer.data(), buffer.size())) > 0;)
        data.insert(data.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_TRUE(reader.Finished());
    return data;
}

std::vector<TestEntry> MixedEntries() {
    return {{"folder/", {}, true},
            {"folder/text.txt", TextBytes(300000)},
            {"random.bin", RandomBytes(200000)},
            {"empty.txt", {}},
            {"stored.txt", TextBytes(5000), false, false},
            {"inner.ZIP", TextBytes(40000)}};
}

}  // namespace

TEST(RoundTrip, EveryEntryReadsBackWithOffsetsRelativeOrAbsoluteAndBytesInFront) {
    const std::vector<uint8_t> program = RandomBytes(70001, 3);  // more than the end-record search
    for (bool absolute : {false, true}) {
        for (bool withFront : {false, true}) {
            SCOPED_TRACE(testing::Message() << "absolute " << absolute << " front " << withFront);
            std::vector<TestEntry> entries = MixedEntries();
            std::vector<uint8_t> bytes =
                BuildArchive(entries, withFront ? program : std::vector<uint8_t>(), absolute);
            MemoryReadStream stream(bytes.data(), bytes.size());
            ZipDirectory dir(stream);
            ASSERT_EQ(dir.Count(), entries.size());
            // Absolute offsets already count the program; relative ones need the correction.
            EXPECT_EQ(dir.FrontBytes(), withFront && !absolute ? program.size() : 0u);
            for (size_t i = 0; i < entries.size(); ++i) {
                EXPECT_EQ(dir.Entry(i).name, entries[i].name);
                EXPECT_EQ(ReadAll(stream, dir, i), entries[i].data) << entries[i].name;
            }
        }
    }
}

TEST(RoundTrip, WriterStoresWhatDoesNotShrinkAndDeflatesTheRest) {
    std::vector<uint8_t> bytes = BuildArchive(MixedEntries());
    MemoryReadStream stream(bytes.data(), bytes.size());
    ZipDirectory dir(stream);
    EXPECT_EQ(dir.Entry(1).header.method, kMethodDeflated);
    EXPECT_LT(dir.Entry(1).header.compressedSize, 300000u / 20);
    EXPECT_EQ(dir.Entry(2).header.method, kMethodStored);  // random bytes
    EXPECT_EQ(dir.Entry(2).header.compressedSize, 200000u);
    EXPECT_EQ(dir.Entry(4).header.method, kMethodStored);  // asked for
    EXPECT_EQ(dir.Entry(5).header.method, kMethodStored);  // ".ZIP", whatever the case
    EXPECT_TRUE(IsPrecompressedName("a.tgz"));
    EXPECT_TRUE(IsPrecompressedName("b.Lzh"));
    EXPECT_FALSE(IsPrecompressedName("zip"));
    EXPECT_FALSE(IsPrecompressedName("a.gzip"));
    // The stored rewrite of the random entry left nothing behind: the archive is
    // barely larger than what it holds.
    EXPECT_LT(bytes.size(), 200000u + 5000 + 40000 + 300000 / 20 + 2000);
}

TEST(RoundTrip, LargeRandomEntryAbandonsDeflateEarlyAndProgressCountsEachByteOnce) {
    std::vector<uint8_t> data = RandomBytes(1 << 20, 11);
    VectorStream out;
    ZipWriter writer(out, false);
    MemoryReadStream source(data.data(), data.size());
    uint64_t reported = 0;
    ZipEntryMeta meta;
    writer.AddData("big.bin", source, data.size(), true, meta, 6, [&](uint64_t n) { reported += n; });
    writer.Finish();
    EXPECT_EQ(reported, data.size());
    MemoryReadStream in(out.Bytes().data(), out.Bytes().size());
    ZipDirectory dir(in);
    EXPECT_EQ(dir.Entry(0).header.method, kMethodStored);
    EXPECT_EQ(ReadAll(in, dir, 0, 1000), data);
}

TEST(RoundTrip, EmptyArchiveOpensWithNoEntries) {
    std::vector<uint8_t> bytes = BuildArchive({});
    ASSERT_EQ(bytes.size(), kEndRecordSize);
    std::vector<uint8_t> withFront = BuildArchive({}, TextBytes(100));
    MemoryReadStream stream(withFront.data(), withFront.size());
    EXPECT_EQ(ZipDirectory(stream).Count(), 0u);
}

TEST(RoundTrip, WriterAfterFinishRefusesMore) {
    VectorStream out;
    ZipWriter writer(out, false);
    writer.AddFolder("a/", ZipEntryMeta());
    writer.Finish();
    EXPECT_TRUE(writer.Closed());
    try {
        writer.AddFolder("b/", ZipEntryMeta());
        FAIL() << "no exception";
    } catch (const CZipException &e) {
        EXPECT_EQ(e.Cause(), ZipCause::WriterClosed);
    }
}

TEST(RoundTrip, WriteFailureIsReportedAndSticks) {
    uint8_t small[100];
    FixedMemoryStream out(small, sizeof small);
    ZipWriter writer(out, false);
    std::vector<uint8_t> data = TextBytes(5000);
    MemoryReadStream source(data.data(), data.size());
    EXPECT_THROW(writer.AddData("a.txt", source, data.size(), false, ZipEntryMeta()), CZipException);
    EXPECT_TRUE(writer.Failed());
    EXPECT_THROW(writer.Finish(), CZipException);
}

TEST(EndRecordSearch, FindsTheLastSignatureAndHonoursTheLimit) {
    for (size_t comment : {0u, 1u, 1003u, 1024u, 1025u, 65000u, 65513u}) {
        std::vector<uint8_t> bytes = BuildArchive({{"a.txt", TextBytes(10)}}, {}, false,
                                                  std::string(comment, 'c'));
        MemoryReadStream stream(bytes.data(), bytes.size());
        uint64_t at = 0;
        ASSERT_TRUE(FindEndRecord(stream, at)) << comment;
        EXPECT_EQ(at, bytes.size() - kEndRecordSize - comment) << comment;
    }
    // A comment this long pushes the record out of the searched tail.
    std::vector<uint8_t> bytes = BuildArchive({{"a.txt", TextBytes(10)}}, {}, false, std::string(65514, 'c'));
    MemoryReadStream stream(bytes.data(), bytes.size());
    uint64_t at = 0;
    EXPECT_FALSE(FindEndRecord(stream, at));
    EXPECT_THROW(ZipDirectory{stream}, CZipException);
}

TEST(EndRecordSearch, SignatureAtPositionZeroCountsAsAbsent) {
    std::vector<uint8_t> bytes = BuildArchive({});
    MemoryReadStream stream(bytes.data(), bytes.size());
    uint64_t at = 99;
    EXPECT_FALSE(FindEndRecord(stream, at));
}

TEST(Streams, RegionShowsOnlyItsBytes) {
    std::vector<uint8_t> data = TextBytes(1000);
    MemoryReadStream whole(data.data(), data.size());
    RegionStream region(whole, 100, 50);
    EXPECT_EQ(region.Size(), 50u);
    uint8_t buffer[80];
    EXPECT_EQ(region.Read(buffer, sizeof buffer), 50u);
    EXPECT_EQ(buffer[0], data[100]);
    EXPECT_FALSE(region.Seek(51));
    RegionStream beyond(whole, 990, 50);  // cut to what exists
    EXPECT_EQ(beyond.Size(), 10u);
}
