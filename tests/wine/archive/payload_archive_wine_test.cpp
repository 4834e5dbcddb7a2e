#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_writer.h"
#include "common/kernel_handle_win.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_archive.h"

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

HANDLE OpenForReading(const std::wstring &path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

TEST_F(ArchiveWineTest, PathTargetGetsReadOnlyAttributeAndEntryTimes) {
    const std::vector<uint8_t> data = Text(70000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    CKernelHandle package(OpenForReading(Path(L"setup.exe")));
    std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(package.Get());
    EXPECT_EQ(archive->Count(), 3);
    const PayloadEntryInfo entry = archive->Entry(0);
    EXPECT_EQ(entry.name, L"readonly.txt");
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(entry.uncompressedSize, 70000u);

    uint32_t total = 0;
    ASSERT_EQ(ExtractPayloadEntry(*archive, 0, Path(L"readonly.txt"), nullptr,
                                  [&](uint32_t n) { total += n; return true; }),
              EntryFileResult::Written);
    EXPECT_EQ(total, 70000u);
    EXPECT_TRUE(GetFileAttributesW(Path(L"readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    CKernelHandle f(OpenForReading(Path(L"readonly.txt")));
    ASSERT_TRUE(f);
    FILETIME created, accessed, modified;
    ASSERT_TRUE(GetFileTime(f.Get(), &created, &accessed, &modified));
    f.Reset();
    EXPECT_EQ(Ticks(modified), zip::UnixToFileTime(kModified));
    // Wine on Linux file systems keeps no creation time of its own, so only
    // the entry's creation time can be checked.
    EXPECT_EQ(entry.creationTime, zip::UnixToFileTime(kCreated));
    EXPECT_EQ(Ticks(accessed), zip::UnixToFileTime(kAccessed));
    EXPECT_EQ(ReadFileBytes(Path(L"readonly.txt")), data);  // after the times: reading moves access
    SetFileAttributesW(Path(L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

struct HeldFile {
    HANDLE file;
    DWORD afterMs;
};

DWORD WINAPI ReleaseLater(void *data) {
    auto *held = static_cast<HeldFile *>(data);
    Sleep(held->afterMs);
    CloseHandle(held->file);
    return 0;
}

// A target that a program ending just now still holds (an updater that
// started its own setup) is written once the program lets go of it; one held
// for good fails after the wait.
TEST_F(ArchiveWineTest, TargetHeldByAnEndingProgramIsWrittenWhenItIsFree) {
    const std::vector<uint8_t> data = Text(1000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    CKernelHandle package(OpenForReading(Path(L"setup.exe")));
    std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(package.Get());
    for (const DWORD heldMs : {1500u, 8000u}) {
        SCOPED_TRACE(heldMs);
        const std::wstring target = Path(L"held-" + std::to_wstring(heldMs) + L".txt");
        WriteFileBytes(target, std::vector<uint8_t>(10, 'x'));
        // Held without sharing, as a running program's image is.
        HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        HeldFile release{held, heldMs};
        HANDLE thread = CreateThread(nullptr, 0, ReleaseLater, &release, 0, nullptr);
        ASSERT_TRUE(thread);
        const DWORD start = GetTickCount();
        const EntryFileResult result =
            ExtractPayloadEntry(*archive, 1, target, nullptr, [](uint32_t) { return true; });
        const DWORD took = GetTickCount() - start;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        if (heldMs < 5000) {
            EXPECT_EQ(result, EntryFileResult::Written);
            EXPECT_GE(took, heldMs - 200);
            EXPECT_EQ(ReadFileBytes(target).size(), archive->Entry(1).uncompressedSize);
        } else {
            EXPECT_NE(result, EntryFileResult::Written);
            EXPECT_LT(took, heldMs);
        }
    }
}

TEST_F(ArchiveWineTest, RelativeTargetsGetFoldersUnlessTheyClimbOut) {
    const std::vector<uint8_t> data = Text(1000);
    WriteFileBytes(Path(L"setup.exe"), Package(data));
    CKernelHandle package(OpenForReading(Path(L"setup.exe")));
    std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(package.Get());
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"sub\\dir\\file.txt", nullptr, {}), EntryFileResult::Written);
    EXPECT_EQ(ReadFileBytes(Path(L"sub\\dir\\file.txt")), data);
    WriteFileBytes(Path(L"sub\\dir\\file.txt"), Text(5000));  // an older, longer file is replaced
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"sub\\dir\\file.txt", nullptr, {}), EntryFileResult::Written);
    EXPECT_EQ(ReadFileBytes(Path(L"sub\\dir\\file.txt")), data);
    EXPECT_FALSE(GetFileAttributesW(Path(L"sub\\dir\\file.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    // "..\" keeps the folders from being made, so the file cannot be created.
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"up\\..\\..\\escaped\\file.txt", nullptr, {}),
              EntryFileResult::Failed);
    EXPECT_EQ(GetFileAttributesW(Path(L"up").c_str()), INVALID_FILE_ATTRIBUTES);
    // Absolute targets are the caller's: their folders are not made either.
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, Path(L"abs\\file.txt"), nullptr, {}), EntryFileResult::Failed);
    // A folder entry makes its whole chain.
    EXPECT_EQ(ExtractPayloadEntry(*archive, 2, Path(L"docs\\inner"), nullptr, {}), EntryFileResult::Written);
    EXPECT_TRUE(GetFileAttributesW(Path(L"docs\\inner").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ArchiveWineTest, StopEventStopsBeforeTheFirstChunkAndDamageThrows) {
    std::vector<uint8_t> package = Package(Text(50000));
    WriteFileBytes(Path(L"setup.exe"), package);
    CKernelHandle file(OpenForReading(Path(L"setup.exe")));
    std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(file.Get());
    CKernelHandle stop(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"stopped.txt", stop.Get(), {}), EntryFileResult::Stopped);
    EXPECT_TRUE(ReadFileBytes(Path(L"stopped.txt")).empty());
    ResetEvent(stop.Get());
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"done.txt", stop.Get(), {}), EntryFileResult::Written);
    EXPECT_EQ(ReadFileBytes(Path(L"done.txt")).size(), 50000u);
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"declined.txt", nullptr, [](uint32_t) { return false; }),
              EntryFileResult::Declined);
    EXPECT_THROW(ExtractPayloadEntry(*archive, 3, L"none.txt", nullptr, {}), CZipException);
    archive.reset();
    file.Reset();

    // A changed byte of the deflate data: the entry throws, the others still read.
    package[5000 + zip::kLocalHeaderSize + 12 + 17 + 40] ^= 0x55;
    WriteFileBytes(Path(L"damaged.exe"), package);
    file.Reset(OpenForReading(Path(L"damaged.exe")));
    archive = OpenPayloadArchive(file.Get());
    EXPECT_THROW(ExtractPayloadEntry(*archive, 0, L"damaged.txt", nullptr, {}), CZipException);
    EXPECT_EQ(ExtractPayloadEntry(*archive, 1, L"whole.txt", nullptr, {}), EntryFileResult::Written);

    EXPECT_THROW(OpenPayloadArchive(nullptr), CZipException);
    file.Reset(OpenForReading(Path(L"whole.txt")));
    EXPECT_THROW(OpenPayloadArchive(file.Get()), CZipException);  // no archive at its end
}

TEST_F(ArchiveWineTest, AppendedRecordFollowsTheReversedMarker) {
    const std::vector<uint8_t> program(3000, 'U');
    WriteFileBytes(Path(L"Uninstall.exe"), program);
    CKernelHandle file(CreateFileW(Path(L"Uninstall.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    {
        CRecordAppender record(file.Get(), kMarkerId);
        record.AddFolderEntry(L"General\\Title=Viewer");
        record.AddFolderEntry(L"File\\{InstallDir}\\Uninstall.exe");
        record.Close();
    }
    // The caller's handle stays open and reads the record back.
    std::unique_ptr<PayloadReader> reader = OpenPayloadArchive(file.Get());
    EXPECT_EQ(reader->Count(), 2);
    const PayloadEntryInfo &entry = reader->Entry(1);
    EXPECT_EQ(entry.name, L"File/{InstallDir}/Uninstall.exe/");
    EXPECT_TRUE(entry.IsFolder());
    // "Now", within a minute.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_LT(Ticks(now) - entry.modificationTime, 600000000ull);
    reader.reset();
    file.Reset();

    std::vector<uint8_t> bytes = ReadFileBytes(Path(L"Uninstall.exe"));
    EXPECT_TRUE(std::equal(program.begin(), program.end(), bytes.begin()));
    std::string marker(bytes.begin() + 3000, bytes.begin() + 3040);
    EXPECT_EQ(marker, "}U_60DE8192EA94_D099_4CF4_9626_3B9D5AFA{");
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
