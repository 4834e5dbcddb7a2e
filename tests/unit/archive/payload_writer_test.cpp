#include <gtest/gtest.h>

#include "common/zip/zip_directory.h"
#include "setup/archive/archive_result.h"
#include "setup/archive/payload_reader.h"
#include "setup/archive/payload_writer.h"
#include "tests/unit/zip/zip_test_support.h"

using namespace archive_result;

TEST(PayloadWriter, FolderNamesUseSlashesAndEndInOne) {
    EXPECT_EQ(ToStoredFolderName("File\\{InstallDir}\\Uninstall.exe"), "File/{InstallDir}/Uninstall.exe/");
    EXPECT_EQ(ToStoredFolderName("General\\Title=A/"), "General/Title=A/");
    EXPECT_EQ(ToStoredFolderName(std::string(3000, 'x')).size(), kMaxWriterNameBytes + 1);
    EXPECT_EQ(ToStoredName("a\\b.txt"), "a/b.txt");
}

TEST(PayloadWriter, AppendedRecordReadsBackWithAbsoluteOffsets) {
    const std::vector<uint8_t> program = RandomBytes(3000, 1);
    VectorStream file(program);
    PayloadWriter writer(file);
    zip::ZipEntryMeta meta;
    meta.modificationTime = 1262347445;
    ASSERT_EQ(writer.AddFolderEntry("General\\Title=Viewer", meta), kOk);
    ASSERT_EQ(writer.AddFolderEntry("File\\{InstallDir}\\bin\\", meta), kOk);
    std::vector<uint8_t> data = TextBytes(20000);
    MemoryReadStream source(data.data(), data.size());
    ASSERT_EQ(writer.AddDataEntry("bin\\tool.exe", source, meta), kOk);
    EXPECT_EQ(writer.AddFolderEntry("", meta), kBadArguments);
    ASSERT_EQ(writer.Close(), kOk);
    EXPECT_EQ(writer.Close(), kWriterClosed);
    EXPECT_EQ(writer.AddFolderEntry("x", meta), kWriterClosed);

    EXPECT_TRUE(std::equal(program.begin(), program.end(), file.Bytes().begin()));  // untouched
    std::vector<uint8_t> bytes = file.Bytes();
    {
        MemoryReadStream stream(bytes.data(), bytes.size());
        zip::ZipDirectory dir(stream);
        EXPECT_EQ(dir.FrontBytes(), 0u);  // offsets count from the file's start
        EXPECT_EQ(dir.Entry(0).header.versionMadeBy, 0x0B17);
        EXPECT_EQ(dir.Entry(0).header.method, zip::kMethodStored);
        EXPECT_EQ(dir.Entry(0).header.compressedSize, 0u);
    }
    auto reader = PayloadReader::Open(std::unique_ptr<ByteStream>(new VectorStream(bytes)));
    ASSERT_TRUE(reader);
    PayloadEntryInfo info;
    ASSERT_EQ(reader->GetEntry(0, info), kOk);
    EXPECT_EQ(info.name, L"General/Title=Viewer/");
    EXPECT_EQ(info.modificationTime, zip::UnixToFileTime(1262347445));
    ASSERT_EQ(reader->GetEntry(1, info), kOk);
    EXPECT_EQ(info.name, L"File/{InstallDir}/bin/");
    ASSERT_EQ(reader->GetEntry(2, info), kOk);
    EXPECT_EQ(info.name, L"bin/tool.exe");
    VectorStream out;
    EXPECT_EQ(reader->Extract(2, out, false, {}, {}), kOk);
    EXPECT_EQ(out.Bytes(), data);
}

TEST(PayloadWriter, FailedWriteSticks) {
    uint8_t block[64];
    FixedMemoryStream file(block, sizeof block);
    PayloadWriter writer(file);
    zip::ZipEntryMeta meta;
    EXPECT_EQ(writer.AddFolderEntry(std::string(100, 'a'), meta), kWriteFailed);
    EXPECT_EQ(writer.AddFolderEntry("b", meta), kWriterFailed);
    EXPECT_EQ(writer.Close(), kWriterFailed);
    EXPECT_EQ(writer.Close(), kWriterClosed);
}
