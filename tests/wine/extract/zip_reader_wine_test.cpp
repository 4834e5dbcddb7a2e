#include <windows.h>

#include <gtest/gtest.h>

#include "common/zip/zip_error.h"
#include "tests/wine/extract/extract_test_support.h"
#include "updater/transfer/zip_reader_win.h"

// CZipReader::ExtractEntry against Wine's real file system: paths, folders,
// times, attributes, replacement, hostile names, damage and the stop event.

namespace {

struct Counter {
    DWORD blocks = 0, bytes = 0;
    bool answer = true;
};

bool CountBlock(DWORD, DWORD bytesWritten, void *data) {
    Counter &c = *static_cast<Counter *>(data);
    ++c.blocks;
    c.bytes += bytesWritten;
    return c.answer;
}

FILETIME LastWrite(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

}  // namespace

TEST(ZipReaderExtract, WritesFoldersFilesTimesAndAttributesAndReplacesOldFiles) {
    const std::wstring work = NewFolder(L"reader-extract");
    const std::wstring package = work + L"\\Driver.zip", destination = work + L"\\Driver";
    const std::vector<uint8_t> tool = RandomData(200001), readme = TextData(150000);
    WritePackage(package, {{"data/", {}, true},
                           {"bin/tool.exe", tool},
                           {"readme.txt", readme, false, false},
                           {"locked.ini", TextData(10), false, true, 0x00000021}});  // DOS read-only + archive
    // An earlier, read-only copy is replaced.
    CreateDirectoryW(destination.c_str(), nullptr);
    WriteBytes(destination + L"\\readme.txt", TextData(7));
    SetFileAttributesW((destination + L"\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    CZipReader reader;
    reader.Open(package);
    ASSERT_EQ(reader.GetCount(), 4);
    EXPECT_TRUE(reader.IsFolder(0));
    EXPECT_FALSE(reader.IsFolder(1));
    Counter counter;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(reader.ExtractEntry(i, destination, nullptr, CountBlock, &counter, 65535), 0) << i;
    reader.Close(false);

    EXPECT_TRUE(GetFileAttributesW((destination + L"\\data").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(ReadBytes(destination + L"\\bin\\tool.exe"), tool);
    EXPECT_EQ(ReadBytes(destination + L"\\readme.txt"), readme);
    EXPECT_EQ(counter.bytes, tool.size() + readme.size() + 10);
    EXPECT_EQ(counter.blocks, 4u + 3u + 1u);  // 65535-byte blocks

    FILETIME local, expected;
    ASSERT_TRUE(DosDateTimeToFileTime(kEntryDosDate, kEntryDosTime, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &expected));
    const FILETIME written = LastWrite(destination + L"\\bin\\tool.exe");
    EXPECT_EQ(CompareFileTime(&written, &expected), 0);
    const DWORD readme_attributes = GetFileAttributesW((destination + L"\\readme.txt").c_str());
    EXPECT_FALSE(readme_attributes & FILE_ATTRIBUTE_READONLY);
    const DWORD locked = GetFileAttributesW((destination + L"\\locked.ini").c_str());
    EXPECT_TRUE(locked & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(locked & FILE_ATTRIBUTE_ARCHIVE);

    // The read-only file is replaced by the next run of the same package.
    reader.Open(package);
    EXPECT_EQ(reader.ExtractEntry(3, destination, nullptr, nullptr, nullptr, 65535), 0);
    reader.Close(false);
}

TEST(ZipReaderExtract, HostileNamesFailAndWriteNothing) {
    const std::wstring work = NewFolder(L"reader-hostile");
    const std::wstring package = work + L"\\Hostile.zip";
    const std::wstring destination = work + L"\\a\\b\\Pkg";
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string drive(1, char(windows[0]));
    const std::vector<std::string> names = {
        "..\\..\\escaped.txt", "../../escaped.txt", "x/../../../escaped.txt", drive + ":\\escaped.txt",
        drive + ":escaped.txt", "\\escaped.txt", "/escaped.txt", "notes.txt:stream", "..", "./",
        "...\\escaped.txt",
    };
    std::vector<PackageEntry> entries;
    for (const std::string &name : names) entries.push_back({name, TextData(100)});
    entries.push_back({"..\\..\\escaped-folder/", {}, true});
    WritePackage(package, entries);

    CZipReader reader;
    reader.Open(package);
    ASSERT_EQ(reader.GetCount(), int(entries.size()));
    for (int i = 0; i < reader.GetCount(); ++i)
        EXPECT_EQ(reader.ExtractEntry(i, destination, nullptr, nullptr, nullptr, 65535), 1) << names[size_t(i) % names.size()];
    reader.Close(false);
    // Nothing anywhere: not in the work folder (beside the package), not in the root.
    EXPECT_EQ(ListTree(work), std::vector<std::wstring>{L"Hostile.zip"});
    EXPECT_FALSE(Exists(std::wstring(windows, 3) + L"escaped.txt"));
    EXPECT_FALSE(Exists(L"escaped.txt"));
}

TEST(ZipReaderExtract, DamageStopAndRefusalEndTheEntry) {
    const std::wstring work = NewFolder(L"reader-faults");
    const std::wstring package = work + L"\\Faults.zip", destination = work + L"\\out";
    const std::vector<uint8_t> big = RandomData(3000000);
    WritePackage(package, {{"good.txt", TextData(5000)}, {"bad.txt", TextData(90000)}, {"big.bin", big, false, false}},
                 1);
    CZipReader reader;
    reader.Open(package);
    EXPECT_EQ(reader.ExtractEntry(0, destination, nullptr, nullptr, nullptr, 65535), 0);
    EXPECT_EQ(reader.ExtractEntry(1, destination, nullptr, nullptr, nullptr, 65535), 1) << "CRC-32 mismatch";
    EXPECT_EQ(reader.ExtractEntry(7, destination, nullptr, nullptr, nullptr, 65535), 1) << "no such entry";
    EXPECT_EQ(reader.ExtractEntry(0, destination, nullptr, nullptr, nullptr, 0), 1) << "no buffer";
    EXPECT_EQ(reader.ExtractEntry(0, L"", nullptr, nullptr, nullptr, 65535), 1) << "no destination";

    // A set stop event ends the entry before its first block, or between blocks.
    HANDLE events[2] = {CreateEventW(nullptr, TRUE, TRUE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    EXPECT_EQ(reader.ExtractEntry(2, destination, events, nullptr, nullptr, 65535), -1);
    ResetEvent(events[0]);
    struct StopAfter {
        HANDLE stop;
        DWORD blocks;
    } stopAfter{events[0], 0};
    auto setStop = [](DWORD, DWORD, void *data) {
        StopAfter &s = *static_cast<StopAfter *>(data);
        if (++s.blocks == 3) SetEvent(s.stop);
        return true;
    };
    EXPECT_EQ(reader.ExtractEntry(2, destination, events, setStop, &stopAfter, 65535), -1);
    EXPECT_EQ(ReadBytes(destination + L"\\big.bin").size(), 3u * 65535u) << "partly written, left on disk";
    ResetEvent(events[0]);

    // A callback that declines ends the entry as failed.
    Counter decline;
    decline.answer = false;
    EXPECT_EQ(reader.ExtractEntry(2, destination, events, CountBlock, &decline, 65535), 1);
    EXPECT_EQ(decline.blocks, 1u);
    // And the whole entry still extracts afterwards.
    EXPECT_EQ(reader.ExtractEntry(2, destination, events, nullptr, nullptr, 65535), 0);
    EXPECT_EQ(ReadBytes(destination + L"\\big.bin"), big);
    CloseHandle(events[0]);
    CloseHandle(events[1]);

    // A target that cannot be created: a folder of the file's name, a file in
    // the way of a folder.
    CreateDirectoryW((work + L"\\blocked").c_str(), nullptr);
    CreateDirectoryW((work + L"\\blocked\\good.txt").c_str(), nullptr);
    EXPECT_EQ(reader.ExtractEntry(0, work + L"\\blocked", nullptr, nullptr, nullptr, 65535), 1);
    WriteBytes(work + L"\\plain", TextData(3));
    EXPECT_EQ(reader.ExtractEntry(0, work + L"\\plain\\below", nullptr, nullptr, nullptr, 65535), 1);
    reader.Close(true);

    // Opening: a missing file and a file that is no archive throw CZipException.
    EXPECT_THROW(reader.Open(work + L"\\missing.zip"), CZipException);
    EXPECT_THROW(reader.Open(work + L"\\plain"), CZipException);
}
