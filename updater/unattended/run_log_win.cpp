#include "updater/unattended/run_log_win.h"

#include <windows.h>
#include <shlobj.h>

#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "common/text.h"
#include "updater/identify/device_profile.h"
#include "updater/unattended/run_log.h"

namespace {

std::string ReadWhole(HANDLE file) {
    std::string bytes;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0)
        return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

bool WriteAll(HANDLE file, const char *data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, DWORD(size), &written, nullptr) && written == size;
}

}  // namespace

std::wstring CRunLogFile::DefaultPath() {
    std::wstring folder;
    GetSpecialFolder(folder, nullptr, CSIDL_COMMON_APPDATA);
    return folder + L"\\Parvoni\\Tessel\\Tessel.log";
}

CRunLogFile::CRunLogFile(bool echo) : m_path(DefaultPath()), m_echo(echo) {
    const DeviceProfile &profile = GetDeviceProfile();
    // A start that ends before identifying (another copy runs) names no device.
    if (profile.family.empty() && profile.modelName.empty() && profile.windowsName.empty()) {
        m_device = L"-";
        return;
    }
    m_device = profile.family + L" " + profile.modelName;
    if (!profile.modelSuffix.empty())
        m_device += L" " + profile.modelSuffix;
    m_device += L" " + profile.windowsName;
}

void CRunLogFile::Write(const std::wstring &message) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string line = FormatLogLine(
        {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, m_device, message);
    if (m_echo)
        Echo(line);

    CreateFolderPath(m_path.substr(0, m_path.rfind(L'\\')));
    CKernelHandle file(CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    LARGE_INTEGER size{};
    GetFileSizeEx(file.Get(), &size);
    if (static_cast<size_t>(size.QuadPart) + line.size() > kRunLogLimit) {
        // Rewritten with its newest lines only.
        const std::string existing = ReadWhole(file.Get());
        const size_t drop = LogBytesToDrop(existing, line.size(), kRunLogLimit);
        SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
        WriteAll(file.Get(), existing.data() + drop, existing.size() - drop);
        SetEndOfFile(file.Get());
    }
    SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    WriteAll(file.Get(), line.data(), line.size());
}

void CRunLogFile::Echo(const std::string &line) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output && output != INVALID_HANDLE_VALUE && WriteAll(output, line.data(), line.size()))
        return;
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
    if (!attached)
        return;
    const std::wstring wide = WidenUtf8(line);
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), wide.c_str(), DWORD(wide.size()), &written,
                  nullptr);
}
