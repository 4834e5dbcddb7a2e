#include "updater/identify/memory_driver_service_win.h"

#include <cstring>
#include <vector>

#include "common/service_handle_win.h"
#include "updater/identify/driver/pmio_control.h"
#include "updater/identify/memory_driver_image.h"

namespace {

const wchar_t kServiceName[] = L"pmio";
const DWORD kPageSize = 4096;

FILETIME ToFileTime(uint64_t value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

bool FileHoldsImage(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    bool same = false;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart == kMemoryDriverImageSize) {
        // One byte more than the image: a read that still finds data means a
        // file that grew since its size was taken.
        std::vector<unsigned char> bytes(kMemoryDriverImageSize + 1);
        DWORD read = 0;
        same = ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
               read == kMemoryDriverImageSize &&
               std::memcmp(bytes.data(), kMemoryDriverImage, kMemoryDriverImageSize) == 0;
    }
    return same;
}

} // namespace

std::wstring MemoryDriverFilePath() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(folder, length) + L"\\drivers\\pmio.sys";
}

bool WriteMemoryDriverFile(const std::wstring &path) {
    if (path.empty())
        return false;
    if (FileHoldsImage(path))
        return true;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file.Get(), kMemoryDriverImage, kMemoryDriverImageSize, &written, nullptr) &&
              written == kMemoryDriverImageSize;
    const FILETIME created = ToFileTime(kMemoryDriverCreationTime);
    const FILETIME accessed = ToFileTime(kMemoryDriverLastAccessTime);
    const FILETIME modified = ToFileTime(kMemoryDriverLastWriteTime);
    SetFileTime(file.Get(), &created, &accessed, &modified);
    file.Reset();
    // Only a file that now reads back as the image may be loaded.
    return ok && FileHoldsImage(path);
}

DriverServiceStart InstallMemoryDriverService(const std::wstring &path) {
    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.Get())
        return DriverServiceStart::NotInstalled;
    CServiceHandle service(CreateServiceW(manager.Get(), kServiceName, kServiceName,
                                          SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                          SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path.c_str(),
                                          nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
        // A service left behind may name another file (older versions loaded
        // pmio.sys from the current folder): point it at ours.
        service.Reset(OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
        if (service &&
            !ChangeServiceConfigW(service.Get(), SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_NORMAL, path.c_str(), nullptr, nullptr, nullptr,
                                  nullptr, nullptr, kServiceName))
            return DriverServiceStart::NotInstalled;
    }
    if (!service)
        return DriverServiceStart::NotInstalled;
    if (StartServiceW(service.Get(), 0, nullptr) ||
        GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
        return DriverServiceStart::Running;
    return DriverServiceStart::StartFailed;
}

void RemoveMemoryDriverService() {
    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.Get())
        return;
    CServiceHandle service(OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service.Get())
        return;
    SERVICE_STATUS status;
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    DeleteService(service.Get());
}

CKernelHandle OpenMemoryDriverDevice() {
    return CKernelHandle(CreateFileW(L"\\\\.\\pmio", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadPageThroughDriver(HANDLE device, uint32_t address, unsigned char *page) {
    DWORD input = address;
    DWORD returned = 0;
    return DeviceIoControl(device, PMIO_IOCTL_READ_PAGE, &input, sizeof input, page, kPageSize,
                           &returned, nullptr) != FALSE;
}
