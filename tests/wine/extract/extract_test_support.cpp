#include "tests/wine/extract/extract_test_support.h"

#include <random>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_writer.h"

std::vector<uint8_t> TextData(size_t size) {
    static const char line[] = "Driver package text, line after line.\r\n";
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(line[i % (sizeof line - 1)]);
    return bytes;
}

std::vector<uint8_t> RandomData(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (auto &b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

void WritePackage(const std::wstring &path, const std::vector<PackageEntry> &entries, int damageEntry) {
    VectorStream out;
    zip::ZipWriter writer(out, false);
    std::vector<uint64_t> localAt;
    for (const PackageEntry &e : entries) {
        zip::ZipEntryMeta meta;
        meta.modificationTime = 1276609640;
        meta.dosDate = kEntryDosDate;
        meta.dosTime = kEntryDosTime;
        meta.externalAttributes = e.externalAttributes;
        localAt.push_back(out.Tell());
        if (e.folder) {
            writer.AddFolder(e.name, meta);
        } else {
            MemoryReadStream source(e.data.data(), e.data.size());
            writer.AddData(e.name, source, e.data.size(), e.compress, meta);
        }
    }
    writer.Finish();
    std::vector<uint8_t> &bytes = out.Bytes();
    if (damageEntry >= 0) {
        bytes[localAt[size_t(damageEntry)] + 14] ^= 0x01;
        // The central headers follow each other from the directory's start.
        size_t at = zip::ReadLe32(&bytes[bytes.size() - zip::kEndRecordSize + 16]);
        for (int i = 0; i < damageEntry; ++i) {
            zip::CentralHeader h;
            zip::DecodeCentralHeader(&bytes[at], h);
            at += h.TotalSize();
        }
        bytes[at + 16] ^= 0x01;
    }
    WriteBytes(path, bytes);
}

void WriteBytes(const std::wstring &path, const std::vector<uint8_t> &bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    if (!bytes.empty()) WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr);
    CloseHandle(f);
}

std::vector<uint8_t> ReadBytes(const std::wstring &path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring NewFolder(const std::wstring &stem) {
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(counter++);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

namespace {
void ListInto(const std::wstring &root, const std::wstring &relative, std::vector<std::wstring> &out) {
    WIN32_FIND_DATAW found;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        out.push_back(path);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListInto(root, path, out);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}
}  // namespace

std::vector<std::wstring> ListTree(const std::wstring &folder) {
    std::vector<std::wstring> out;
    ListInto(folder, std::wstring(), out);
    return out;
}
