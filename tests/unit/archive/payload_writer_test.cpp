#include <gtest/gtest.h>

#include "common/zip/zip_directory.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_reader.h"
#include "setup/archive/payload_writer.h"
#include "tests/unit/zip/zip_test_support.h"

namespace {

// The cause a writer call threw; -1 when it did not throw.
template <typename Call>
int CauseOf(Call call) {
    try {
        call();
    } catch (const CZipException &e) {
        return static_cast<int>(e.Cause());
    }
    return -1;
}

}  // namespace

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
    writer.AddFolderEntry("General\\Title=Viewer", meta);
    writer.AddFolderEntry("File\\{InstallDir}\\bin\\", meta);
    std::vector<uint8_t> data = TextBytes(20000);
    MemoryReadStream source(data.data(), data.size());
    writer.AddDataEntry("bin\\tool.exe", source, meta);
    EXPECT_EQ(CauseOf([&] { writer.AddFolderEntry("", meta); }), int(ZipCause::EmptyName));
    writer.Close();
    EXPECT_EQ(CauseOf([&] { writer.Close(); }), int(ZipCause::WriterClosed));
    EXPECT_EQ(CauseOf([&] { writer.AddFolderEntry("x", meta); }), int(ZipCause::WriterClosed));

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
    PayloadReader reader(std::unique_ptr<ByteStream>(new VectorStream(bytes)));
    EXPECT_EQ(reader.Entry(0).name, L"General/Title=Viewer/");
    EXPECT_EQ(reader.Entry(0).modificationTime, zip::UnixToFileTime(1262347445));
    EXPECT_EQ(reader.Entry(1).name, L"File/{InstallDir}/bin/");
    EXPECT_EQ(reader.Entry(2).name, L"bin/tool.exe");
    VectorStream out;
    EXPECT_EQ(reader.Extract(2, out, {}, {}), zip::ChunkOutcome::Finished);
    EXPECT_EQ(out.Bytes(), data);
}

TEST(PayloadWriter, FailedWriteSticks) {
    uint8_t block[64];
    FixedMemoryStream file(block, sizeof block);
    PayloadWriter writer(file);
    zip::ZipEntryMeta meta;
    EXPECT_EQ(CauseOf([&] { writer.AddFolderEntry(std::string(100, 'a'), meta); }), int(ZipCause::WriteFailed));
    EXPECT_EQ(CauseOf([&] { writer.AddFolderEntry("b", meta); }), int(ZipCause::WriteFailed));
    EXPECT_EQ(CauseOf([&] { writer.Close(); }), int(ZipCause::WriteFailed));
}
