#ifndef TESTS_WINE_EXTRACT_EXTRACT_TEST_SUPPORT_H
#define TESTS_WINE_EXTRACT_EXTRACT_TEST_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Packages written by the project's ZIP writer into real files, and the
// folders the tests extract them to.

struct PackageEntry {
    std::string name;            // stored as given, hostile or not
    std::vector<uint8_t> data;
    bool folder = false;
    bool compress = true;
    uint32_t externalAttributes = 0;  // 0: the writer's default
};

// 2010-06-15 13:47:20 local time as DOS fields (what every test entry carries).
constexpr uint16_t kEntryDosDate = (30 << 9) | (6 << 5) | 15;
constexpr uint16_t kEntryDosTime = (13 << 11) | (47 << 5) | 10;

std::vector<uint8_t> TextData(size_t size);
std::vector<uint8_t> RandomData(size_t size, unsigned seed = 3);

// Writes the archive to `path`; `damageEntry` >= 0 flips a byte of that
// entry's CRC-32 in both headers.
void WritePackage(const std::wstring &path, const std::vector<PackageEntry> &entries, int damageEntry = -1);

void WriteBytes(const std::wstring &path, const std::vector<uint8_t> &bytes);
// Empty when the file cannot be read.
std::vector<uint8_t> ReadBytes(const std::wstring &path);
bool Exists(const std::wstring &path);
// A new empty folder below the temporary folder.
std::wstring NewFolder(const std::wstring &stem);
// Every file and folder below `folder`, as relative paths.
std::vector<std::wstring> ListTree(const std::wstring &folder);

#endif
