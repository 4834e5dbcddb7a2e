// CPhysicalMemory against Wine's real service manager and file system. Wine
// offers no "\Device\PhysicalMemory" and never starts a kernel driver, so
// every Open takes the driver route and fails; what is checked is what that
// route leaves behind and what it costs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "updater/identify/memory_driver_image.h"
#include "updater/identify/memory_driver_service_win.h"
#include "updater/identify/physical_memory_win.h"

namespace {

std::wstring DriversFolderCopy() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\drivers\\pmio.sys";
}

std::vector<unsigned char> ReadWholeFile(const std::wstring &path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    unsigned char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), chunk, chunk + read);
    CloseHandle(file);
    return bytes;
}

void WriteWholeFile(const std::wstring &path, const std::vector<unsigned char> &bytes) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

std::vector<unsigned char> Image() {
    return std::vector<unsigned char>(kMemoryDriverImage,
                                      kMemoryDriverImage + kMemoryDriverImageSize);
}

uint64_t Time(const FILETIME &t) {
    return static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

bool FileTimes(const std::wstring &path, uint64_t *created, uint64_t *written) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    *created = Time(data.ftCreationTime);
    *written = Time(data.ftLastWriteTime);
    return true;
}

bool ServiceExists() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return false;
    SC_HANDLE service = OpenServiceW(manager, L"pmio", SERVICE_QUERY_CONFIG);
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return service != nullptr;
}

// Deleting a service only marks it; the service manager drops it once it has
// stopped and its last handle is closed, which under Wine takes a moment after
// a failed start.
bool ServiceGoneWithin(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (ServiceExists()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

// A service as older versions left it: pointing at a file in another folder.
void CreateStaleService(const std::wstring &binary) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(nullptr, manager);
    SC_HANDLE service = CreateServiceW(manager, L"pmio", L"pmio", SERVICE_ALL_ACCESS,
                                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

DWORD TimedOpen(CPhysicalMemory &memory, bool *opened) {
    const DWORD start = GetTickCount();
    *opened = memory.Open();
    return GetTickCount() - start;
}

} // namespace

TEST(PhysicalMemory, OpenFailsQuicklyWritesTheDriverFileAndLeavesNoService) {
    DeleteFileW(DriversFolderCopy().c_str());
    ASSERT_FALSE(ServiceExists());

    CPhysicalMemory memory;
    bool opened = true;
    const DWORD first = TimedOpen(memory, &opened);
    EXPECT_FALSE(opened);
    EXPECT_EQ(CPhysicalMemory::Route::None, memory.OpenedRoute());
    EXPECT_EQ(DriversFolderCopy(), memory.DriverFilePath());
    EXPECT_TRUE(ServiceGoneWithin(3000));
    EXPECT_EQ(Image(), ReadWholeFile(DriversFolderCopy()));
    uint64_t created = 0, written = 0;
    ASSERT_TRUE(FileTimes(DriversFolderCopy(), &created, &written));
    EXPECT_EQ(kMemoryDriverCreationTime, created);
    EXPECT_EQ(kMemoryDriverLastWriteTime, written);

    // A failed Open leaves nothing to read from.
    unsigned char byte = 0x55;
    memory.Seek(0xF0000);
    EXPECT_EQ(0u, memory.Read(&byte, 1));

    const DWORD second = TimedOpen(memory, &opened);
    EXPECT_FALSE(opened);
    EXPECT_LT(second, 1000u) << "the driver route tried again a driver that did not start";
    EXPECT_TRUE(ServiceGoneWithin(3000));
    std::printf("driver route under Wine: first Open %lu ms, second %lu ms\n",
                static_cast<unsigned long>(first), static_cast<unsigned long>(second));
}

TEST(PhysicalMemory, TheDriverFileIsRewrittenWheneverItsBytesDiffer) {
    const std::wstring path = DriversFolderCopy();
    std::vector<unsigned char> sameSize = Image();
    sameSize[sameSize.size() / 2] ^= 0xFF;
    std::vector<unsigned char> longer = Image();
    longer.push_back(0);
    const std::vector<unsigned char> shorter(kMemoryDriverImage,
                                             kMemoryDriverImage + kMemoryDriverImageSize - 1);
    const std::vector<std::vector<unsigned char>> strangers = {sameSize, longer, shorter, {}};
    for (size_t i = 0; i < strangers.size(); ++i) {
        WriteWholeFile(path, strangers[i]);
        // The stored creation time alone does not make a file ours.
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        FILETIME created = {static_cast<DWORD>(kMemoryDriverCreationTime),
                            static_cast<DWORD>(kMemoryDriverCreationTime >> 32)};
        SetFileTime(file, &created, nullptr, nullptr);
        CloseHandle(file);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

        CPhysicalMemory memory;
        EXPECT_FALSE(memory.Open());
        EXPECT_EQ(Image(), ReadWholeFile(path)) << "stranger " << i;
    }

    // A copy that holds the image is left as it is.
    uint64_t created = 0, before = 0, after = 0;
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME later = {0x12345678, 0x01D00000};
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
    ASSERT_TRUE(FileTimes(path, &created, &before));
    EXPECT_TRUE(WriteMemoryDriverFile(path));
    ASSERT_TRUE(FileTimes(path, &created, &after));
    EXPECT_EQ(before, after);
}

TEST(PhysicalMemory, NeverUsesACopyInTheCurrentFolder) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring folder = std::wstring(temp) + L"pmio-current-folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring planted = folder + L"\\pmio.sys";
    const std::vector<unsigned char> stranger(kMemoryDriverImageSize, 0xCC);
    WriteWholeFile(planted, stranger);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    CreateStaleService(planted);

    CPhysicalMemory memory;
    EXPECT_FALSE(memory.Open());
    EXPECT_EQ(DriversFolderCopy(), memory.DriverFilePath());
    EXPECT_EQ(Image(), ReadWholeFile(DriversFolderCopy()));
    EXPECT_EQ(stranger, ReadWholeFile(planted));
    EXPECT_TRUE(ServiceGoneWithin(3000)) << "the service an older version left behind";

    SetCurrentDirectoryW(previous);
    DeleteFileW(planted.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(PhysicalMemory, AFolderInThePlaceOfTheDriverFileFailsTheRoute) {
    const std::wstring path = DriversFolderCopy();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_FALSE(WriteMemoryDriverFile(path));
    CPhysicalMemory memory;
    EXPECT_FALSE(memory.Open());
    EXPECT_TRUE(ServiceGoneWithin(3000));
    RemoveDirectoryW(path.c_str());
}
