#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <zlib.h>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "tests/unit/zip/zip_test_support.h"

namespace {
std::wstring TempPath(const char *name) { return WidenUtf8(testing::TempDir() + name); }
}  // namespace

TEST(FileStream, WritesSeeksBackReadsAndTruncates) {
    const std::wstring path = TempPath("stream.bin");
    auto f = FileStream::Open(path, FileStream::Mode::CreateAlways);
    ASSERT_TRUE(f);
    std::vector<uint8_t> text = TextBytes(100000);
    ASSERT_TRUE(f->Write(text.data(), text.size()));
    EXPECT_EQ(f->Size(), 100000u);
    ASSERT_TRUE(f->Seek(10));
    ASSERT_TRUE(f->Write("XYZ", 3));  // overwrite in place, then read on without a seek
    uint8_t after[4];
    ASSERT_EQ(f->Read(after, 4), 4u);
    EXPECT_EQ(0, memcmp(after, text.data() + 13, 4));
    ASSERT_TRUE(f->Seek(50000));
    ASSERT_TRUE(f->Truncate());
    EXPECT_EQ(f->Size(), 50000u);
    ASSERT_TRUE(f->Flush());
    f.reset();

    auto r = FileStream::Open(path, FileStream::Mode::Read);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Size(), 50000u);
    std::vector<uint8_t> back(60000);
    EXPECT_EQ(r->Read(back.data(), back.size()), 50000u);
    EXPECT_EQ(std::string(back.begin() + 10, back.begin() + 13), "XYZ");
    EXPECT_FALSE(r->Write("a", 1));
    EXPECT_FALSE(FileStream::Open(TempPath("missing/none.bin"), FileStream::Mode::Read));
}

// Deflated size of `data` as the writer makes it (level 6, raw).
size_t DeflatedSize(const std::vector<uint8_t> &data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<uint8_t *>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    size_t n = z.total_out;
    deflateEnd(&z);
    return n;
}

TEST(FileStream, StoredRewriteOfTheLastEntryLeavesNoBytesBehind) {
    // A head that deflate shrinks a little (so the writer keeps deflating)
    // and a random tail that grows by more: the entry ends stored over a
    // longer deflated attempt, and the file must still end at the end record.
    std::vector<uint8_t> data = RandomBytes(6 << 20, 4);
    for (size_t i = 0; i < 65536; ++i) data[i] = static_cast<uint8_t>(data[i] % 230);
    ASSERT_GT(DeflatedSize(data), data.size() + 200);
    const std::wstring path = TempPath("tail.zip");
    {
        auto f = FileStream::Open(path, FileStream::Mode::CreateAlways);
        ASSERT_TRUE(f);
        zip::ZipWriter writer(*f, false);
        MemoryReadStream source(data.data(), data.size());
        writer.AddData("last.bin", source, data.size(), true, zip::ZipEntryMeta());
        writer.Finish();
    }
    auto r = FileStream::Open(path, FileStream::Mode::Read);
    ASSERT_TRUE(r);
    zip::ZipDirectory dir(*r);
    EXPECT_EQ(dir.EndRecordPosition() + zip::kEndRecordSize, r->Size());
    EXPECT_EQ(dir.Entry(0).header.method, zip::kMethodStored);
    zip::ZipEntryReader reader(*r, dir, dir.Entry(0));
    std::vector<uint8_t> back(data.size() + 1);
    size_t got = 0;
    for (size_t n; (n = reader.Read(back.data() + got, back.size() - got)) > 0;) got += n;
    back.resize(got);
    EXPECT_EQ(back, data);
}
