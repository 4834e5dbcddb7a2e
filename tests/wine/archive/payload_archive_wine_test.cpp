#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_writer.h"
#include "setup/archive/payload_archive.h"

using namespace archive_result;

namespace {

const wchar_t kMarkerId[] = L"{AFA5D9B3_6269_4FC4_990D_49AE2918ED06_U}";

// A fresh folder under the temporary folder, made current for the test.
class ArchiveWineTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"archive-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(counter_++);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
    std::wstring Path(const std::wstring &name) const { return folder_ + L"\\" + name; }
    std::wstring folder_;
    static int counter_;
};
int ArchiveWineTest::counter_ = 0;

std::vector<uint8_t> Text(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>("payload text\r\n"[i % 14]);
    return bytes;
}

void WriteFileBytes(const std::wstring &path, const std::vector<uint8_t> &bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
    ASSERT_EQ(put, bytes.size());
}

std::vector<uint8_t> ReadFileBytes(const std::wstring &path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

constexpr uint32_t kModified = 1300000000, kAccessed = 1300000500, kCreated = 1200000000;

// A "program" followed by an archive: 0 a read-only file, 1 a writable file
// in sub folders, 2 a folder entry.
std::vector<uint8_t> Package(const std::vector<uint8_t> &data) {
    std::vector<uint8_t> program(5000, 'P');
    VectorStream out(program);
    zip::ZipWriter writer(out, false);
    zip::ZipEntryMeta meta;
    meta.modificationTime = kModified;
    meta.accessTime = kAccessed;
    meta.creationTime = kCreated;
    meta.externalAttributes = 0x00000020;  // Unix owner-write clear: read-only
    MemoryReadStream a(data.data(), data.size());
    writer.AddData("readonly.txt", a, data.size(), true, meta);
    meta.externalAttributes = zip::DefaultExternalAttributes(false, false);
    MemoryReadStream b(data.data(), data.size());
    writer.AddData("sub/dir/file.txt", b, data.size(), true, meta);
    meta.externalAttributes = zip::DefaultExternalAttributes(true, false);
    writer.AddFolder("docs/", meta);
    writer.Finish();
    return out.Bytes();
}

uint64_t Ticks(const FILETIME &ft) { return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; }

}  // namespace

TEST_F(ArchiveWineTest, PathTargetGetsReadOnlyAttributeAndEntryTimes) {
    const std::vector<uint8_t> data = Text(70000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    ArchiveHandle archive = OpenArchive(Path(L"setup.exe").c_str(), 0, 0, kArchivePath);
    ASSERT_NE(archive, nullptr) << std::hex << LastReaderResult();
    ArchiveEntry entry;
    ASSERT_EQ(GetEntry(archive, -1, &entry), kOk);
    EXPECT_EQ(entry.index, 3);
    ASSERT_EQ(GetEntry(archive, 0, &entry), kOk);
    EXPECT_STREQ(entry.name, L"readonly.txt");
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(entry.uncompressedSize, 70000);

    DWORD total = 0;
    auto count = [](DWORD n, void *data) { *static_cast<DWORD *>(data) += n; return true; };
    ASSERT_EQ(ExtractEntry(archive, 0, Path(L"readonly.txt").c_str(), 0, kArchivePath, nullptr, count, &total), kOk);
    EXPECT_EQ(total, 70000u);
    DWORD attributes = GetFileAttributesW(Path(L"readonly.txt").c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);

    HANDLE f = CreateFileW(Path(L"readonly.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FILETIME created, accessed, modified;
    ASSERT_TRUE(GetFileTime(f, &created, &accessed, &modified));
    CloseHandle(f);
    EXPECT_EQ(Ticks(modified), zip::UnixToFileTime(kModified));
    // Wine on Linux file systems keeps no creation time of its own, so only
    // the entry's creation time can be checked.
    EXPECT_EQ(Ticks(entry.creationTime), zip::UnixToFileTime(kCreated));
    EXPECT_EQ(Ticks(accessed), zip::UnixToFileTime(kAccessed));
    EXPECT_EQ(Ticks(entry.modificationTime), zip::UnixToFileTime(kModified));
    EXPECT_EQ(ReadFileBytes(Path(L"readonly.txt")), data);  // after the times: reading moves access
    SetFileAttributesW(Path(L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(CloseArchive(archive), kOk);
}

TEST_F(ArchiveWineTest, RelativeTargetsGetFoldersUnlessTheyClimbOut) {
    const std::vector<uint8_t> data = Text(1000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    ArchiveHandle archive = OpenArchive(Path(L"setup.exe").c_str(), 0, 0, kArchivePath);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(ExtractEntry(archive, 1, L"sub\\dir\\file.txt", 0, kArchivePath, nullptr, nullptr, nullptr), kOk);
    EXPECT_EQ(ReadFileBytes(Path(L"sub\\dir\\file.txt")), data);
    WriteFileBytes(Path(L"sub\\dir\\file.txt"), Text(5000));  // an older, longer file is replaced
    EXPECT_EQ(ExtractEntry(archive, 1, L"sub\\dir\\file.txt", 0, kArchivePath, nullptr, nullptr, nullptr), kOk);
    EXPECT_EQ(ReadFileBytes(Path(L"sub\\dir\\file.txt")), data);
    EXPECT_FALSE(GetFileAttributesW(Path(L"sub\\dir\\file.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    // "..\" keeps the folders from being made, so the file cannot be created.
    EXPECT_EQ(ExtractEntry(archive, 1, L"up\\..\\..\\escaped\\file.txt", 0, kArchivePath, nullptr, nullptr, nullptr),
              kOpenFailed);
    EXPECT_EQ(GetFileAttributesW(Path(L"up").c_str()), INVALID_FILE_ATTRIBUTES);
    // Absolute targets are the caller's: their folders are not made either.
    EXPECT_EQ(ExtractEntry(archive, 1, Path(L"abs\\file.txt").c_str(), 0, kArchivePath, nullptr, nullptr, nullptr),
              kOpenFailed);
    // A folder entry makes its whole chain.
    EXPECT_EQ(ExtractEntry(archive, 2, Path(L"docs\\inner").c_str(), 0, kArchivePath, nullptr, nullptr, nullptr), kOk);
    EXPECT_TRUE(GetFileAttributesW(Path(L"docs\\inner").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    CloseArchive(archive);
}

TEST_F(ArchiveWineTest, HandleSourceAndHandleTarget) {
    const std::vector<uint8_t> data = Text(40000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    HANDLE source = CreateFileW(Path(L"setup.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(source, INVALID_HANDLE_VALUE);
    ArchiveHandle archive = OpenArchive(source, 0, 0, kArchiveHandle);
    CloseHandle(source);  // the archive holds its own duplicate
    ASSERT_NE(archive, nullptr) << std::hex << LastReaderResult();

    HANDLE target = CreateFileW(Path(L"out.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(target, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ExtractEntry(archive, 1, target, 0, kArchiveHandle, nullptr, nullptr, nullptr), kOk);
    FILETIME created, accessed, modified;
    GetFileTime(target, &created, &accessed, &modified);
    CloseHandle(target);
    EXPECT_EQ(ReadFileBytes(Path(L"out.txt")), data);
    EXPECT_EQ(Ticks(modified), zip::UnixToFileTime(kModified));

    std::vector<uint8_t> block(100);
    EXPECT_EQ(ExtractEntry(archive, 1, block.data(), 100, kArchiveMemory, nullptr, nullptr, nullptr), kMoreData);
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 100), block);
    CloseArchive(archive);

    HANDLE readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    EXPECT_EQ(OpenArchive(readEnd, 0, 0, kArchiveHandle), nullptr);
    EXPECT_EQ(LastReaderResult(), kNotDiskFile);
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
}

TEST_F(ArchiveWineTest, StopEventStopsBeforeTheFirstChunk) {
    const std::vector<uint8_t> package = Package(Text(50000));
    ArchiveHandle archive = OpenArchive(package.data(), static_cast<DWORD>(package.size()), 0, kArchiveMemory);
    ASSERT_NE(archive, nullptr);
    HANDLE events[2] = {CreateEventW(nullptr, TRUE, TRUE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    EXPECT_EQ(ExtractEntry(archive, 1, L"stopped.txt", 0, kArchivePath, events, nullptr, nullptr), kStopped);
    EXPECT_TRUE(ReadFileBytes(Path(L"stopped.txt")).empty());
    ResetEvent(events[0]);
    EXPECT_EQ(ExtractEntry(archive, 1, L"done.txt", 0, kArchivePath, events, nullptr, nullptr), kOk);
    EXPECT_EQ(ReadFileBytes(Path(L"done.txt")).size(), 50000u);
    CloseHandle(events[0]);
    CloseHandle(events[1]);

    ArchiveEntry entry;
    EXPECT_EQ(GetEntry(nullptr, 0, &entry), kBadArguments);
    EXPECT_EQ(GetEntry(archive, 3, &entry), kBadArguments);
    EXPECT_EQ(AddFolderEntry(archive, L"x"), kWrongKind);
    CloseArchive(archive);
    EXPECT_EQ(OpenArchive(Path(L"missing.exe").c_str(), 0, 0, kArchivePath), nullptr);
    EXPECT_EQ(LastReaderResult(), kOpenFailed);
}

TEST_F(ArchiveWineTest, AppendedRecordFollowsTheReversedMarker) {
    const std::vector<uint8_t> program(3000, 'U');
    WriteFileBytes(Path(L"Uninstall.exe"), program);
    HANDLE file = CreateFileW(Path(L"Uninstall.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ArchiveHandle writer = CreateArchiveAppended(nullptr, file, kMarkerId);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(AddFolderEntry(writer, L"General\\Title=Viewer"), kOk);
    EXPECT_EQ(AddFolderEntry(writer, L"File\\{InstallDir}\\Uninstall.exe"), kOk);
    ArchiveEntry entry;
    EXPECT_EQ(GetEntry(writer, 0, &entry), kWrongKind);
    EXPECT_EQ(CloseArchive(writer), kOk);
    CloseHandle(file);  // the caller's, still open after CloseArchive

    std::vector<uint8_t> bytes = ReadFileBytes(Path(L"Uninstall.exe"));
    std::string marker(bytes.begin() + 3000, bytes.begin() + 3040);
    EXPECT_EQ(marker, "}U_60DE8192EA94_D099_4CF4_9626_3B9D5AFA{");
    ArchiveHandle reader = OpenArchive(Path(L"Uninstall.exe").c_str(), 0, 0, kArchivePath);
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(GetEntry(reader, -1, &entry), kOk);
    EXPECT_EQ(entry.index, 2);
    ASSERT_EQ(GetEntry(reader, 1, &entry), kOk);
    EXPECT_STREQ(entry.name, L"File/{InstallDir}/Uninstall.exe/");
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
    // "Now", within a minute.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_LT(Ticks(now) - Ticks(entry.modificationTime), 600000000ull);
    CloseArchive(reader);
}

TEST_F(ArchiveWineTest, CreatedPackageCopiesTheProgramAndTakesDataEntries) {
    const std::vector<uint8_t> program(2500, 'Q');
    WriteFileBytes(Path(L"program.exe"), program);
    const std::vector<uint8_t> text = Text(30000);
    WriteFileBytes(Path(L"notes.txt"), text);
    WriteFileBytes(Path(L"inner.zip"), text);
    ArchiveHandle writer = CreateArchiveAppended(Path(L"package.exe").c_str(), nullptr, kMarkerId,
                                                 Path(L"program.exe").c_str());
    ASSERT_NE(writer, nullptr) << std::hex << LastWriterResult();
    EXPECT_EQ(AddDataEntry(writer, L"docs\\notes.txt", Path(L"notes.txt").c_str(), 0, kArchivePath), kOk);
    EXPECT_EQ(AddDataEntry(writer, L"inner.zip", Path(L"inner.zip").c_str(), 0, kArchivePath), kOk);
    EXPECT_EQ(AddDataEntry(writer, L"mem.txt", text.data(), 100, kArchiveMemory), kOk);
    EXPECT_EQ(AddDataEntry(writer, L"gone.txt", Path(L"missing.txt").c_str(), 0, kArchivePath), kOpenFailed);
    EXPECT_EQ(CloseArchive(writer), kOk);

    std::vector<uint8_t> bytes = ReadFileBytes(Path(L"package.exe"));
    EXPECT_TRUE(std::equal(program.begin(), program.end(), bytes.begin()));
    ArchiveHandle reader = OpenArchive(Path(L"package.exe").c_str(), 0, 0, kArchivePath);
    ASSERT_NE(reader, nullptr);
    ArchiveEntry entry;
    ASSERT_EQ(GetEntry(reader, 0, &entry), kOk);
    EXPECT_STREQ(entry.name, L"docs/notes.txt");
    EXPECT_LT(entry.compressedSize, entry.uncompressedSize);
    ASSERT_EQ(GetEntry(reader, 1, &entry), kOk);
    EXPECT_EQ(entry.compressedSize, entry.uncompressedSize);  // ".zip" is stored
    std::vector<uint8_t> block(30000);
    EXPECT_EQ(ExtractEntry(reader, 0, block.data(), 30000, kArchiveMemory, nullptr, nullptr, nullptr), kOk);
    EXPECT_EQ(block, text);
    CloseArchive(reader);
}

TEST(DosTimeWine, PortableConversionAgreesWithDosDateTimeToFileTime) {
    const WORD dates[] = {0x0021, 0x3C21, 0x2CB3, 0x4A5F, 0xFF9F};
    const WORD times[] = {0x0000, 0x6000, 0xBF7D, 0x1234};
    for (WORD date : dates) {
        for (WORD time : times) {
            FILETIME ft;
            zip::FileTimeTicks ticks = 0;
            BOOL windows = DosDateTimeToFileTime(date, time, &ft);
            bool portable = zip::DosToFileTime(date, time, ticks);
            EXPECT_EQ(windows != FALSE, portable) << std::hex << date << " " << time;
            if (windows && portable) {
                EXPECT_EQ(Ticks(ft), ticks) << std::hex << date << " " << time;
            }
        }
    }
}
