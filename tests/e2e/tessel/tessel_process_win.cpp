#include "tests/e2e/tessel/tessel_process_win.h"

#include <shlwapi.h>

#include <cstdlib>

#include "tests/driver/polling.h"

namespace {

bool MakeFolders(const std::wstring &folder) {
    for (size_t at = folder.find(L'\\', 3); ; at = folder.find(L'\\', at + 1)) {
        std::wstring level = folder.substr(0, at);
        if (!Exists(level) && !CreateDirectoryW(level.c_str(), nullptr))
            return false;
        if (at == std::wstring::npos)
            return true;
    }
}

}  // namespace

bool ReportWindowsVersionTo(const std::wstring &exeName, const std::wstring &wineVersion) {
    const std::wstring path = L"Software\\Wine\\AppDefaults\\" + exeName;
    if (wineVersion.empty()) {
        const LSTATUS status = RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(wineVersion.c_str()),
                       static_cast<DWORD>((wineVersion.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::wstring WindowsPathOfUnix(const std::wstring &unixPath) {
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t &c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring WindowsPathOfUnix(const std::string &unixPath) {
    std::wstring wide;
    for (char c : unixPath) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return WindowsPathOfUnix(wide);
}

std::wstring EnvironmentText(const wchar_t *name) {
    wchar_t value[1024] = L"";
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

bool ExpectKorean() {
    const char *language = std::getenv("TESSEL_EXPECT_LANGUAGE");
    return language && std::string(language) == "ko";
}

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TesselInstall::TesselInstall(const std::string &program, const std::wstring &folder)
    : m_folder(folder) {
    m_installed = MakeFolders(folder) &&
                  CopyFileW(WindowsPathOfUnix(program).c_str(), ExePath().c_str(), FALSE);
}

std::unique_ptr<windriver::Process> TesselInstall::Start(const std::wstring &arguments) const {
    auto process = std::make_unique<windriver::Process>();
    std::wstring commandLine = L"\"" + ExePath() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    if (!process->Start(commandLine, m_folder))
        return nullptr;
    return process;
}

HWND WaitMainWindow(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    windriver::PollUntil(
        [&] {
            for (HWND w = FindWindowW(L"Tessel", nullptr); w;
                 w = FindWindowExW(nullptr, w, L"Tessel", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == processId) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool CloseAndWait(HWND mainWindow, windriver::Process &process, DWORD timeoutMs) {
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return process.Wait(timeoutMs);
}

HWND VisiblePageWith(HWND mainWindow, int id) {
    for (HWND page = GetWindow(mainWindow, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (IsWindowVisible(page) && GetDlgItem(page, id))
            return page;
    }
    return nullptr;
}

bool ReadMachineString(const std::wstring &key, const std::wstring &name, std::wstring &value) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[1024];
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    LONG result = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    buffer[size / sizeof(wchar_t)] = 0;
    value = buffer;
    return true;
}

bool WriteMachineString(const std::wstring &key, const std::wstring &name,
                        const std::wstring &value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE *>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

void DeleteMachineKey(const std::wstring &key) { SHDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str()); }

bool WriteFileWithFolders(const std::wstring &path, const std::string &text) {
    if (!MakeFolders(path.substr(0, path.rfind(L'\\'))))
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return written == text.size();
}
