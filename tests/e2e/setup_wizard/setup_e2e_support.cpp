#include "tests/e2e/setup_wizard/setup_e2e_support.h"

#include <objbase.h>
#include <tlhelp32.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>

#include "setup/res/resource.h"
#include "tests/driver/polling.h"

namespace setup_e2e {

using namespace windriver;

Programs &Given() {
    static Programs programs;
    return programs;
}

std::wstring WindowsPathOf(const std::string &unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : wchar_t(static_cast<unsigned char>(c));
    return path;
}

bool ReadFileBytes(const std::wstring &path, std::vector<unsigned char> &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    bytes.assign(size, 0);
    DWORD read = 0;
    bool ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
    CloseHandle(file);
    return ok;
}

bool WriteFileBytes(const std::wstring &path, const std::vector<unsigned char> &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool BuildPackage(const std::wstring &name, const std::string &description,
                  std::wstring &package, std::string &detail) {
    const Programs &p = Given();
    const std::wstring text = p.work + L"\\" + name + L".txt";
    package = p.work + L"\\" + name + L".exe";
    if (!WriteFileBytes(text, std::vector<unsigned char>(description.begin(), description.end()))) {
        detail = "cannot write the description";
        return false;
    }
    Process packer;
    const std::wstring command = QuoteArgument(p.packer) + L" build " + QuoteArgument(text) +
                                 L" --program " + QuoteArgument(p.setup) + L" --output " +
                                 QuoteArgument(package) + L" --quiet";
    if (!packer.Start(command) || !packer.Wait(60000)) {
        detail = "the builder did not run";
        return false;
    }
    detail = "builder exit code " + std::to_string(packer.ExitCode());
    return packer.ExitCode() == 0 && FileExists(package);
}

namespace {

uint32_t Get32(const std::vector<unsigned char> &b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t Get16(const std::vector<unsigned char> &b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

// Position of a header with `signature` whose name (at `nameAt`, length at
// `lengthAt`) is `name`; npos when there is none.
size_t FindHeader(const std::vector<unsigned char> &b, uint32_t signature, size_t lengthAt,
                  size_t nameAt, const std::string &name) {
    for (size_t i = 0; i + nameAt + name.size() <= b.size(); ++i) {
        if (Get32(b, i) != signature) continue;
        if (Get16(b, i + lengthAt) != name.size()) continue;
        if (std::memcmp(&b[i + nameAt], name.data(), name.size()) == 0) return i;
    }
    return std::string::npos;
}

}  // namespace

bool SetEntryAttributes(const std::wstring &package, const std::string &entryName,
                        DWORD attributes) {
    std::vector<unsigned char> b;
    if (!ReadFileBytes(package, b)) return false;
    size_t at = FindHeader(b, 0x02014b50, 28, 46, entryName);
    if (at == std::string::npos) return false;
    for (int i = 0; i < 4; ++i) b[at + 38 + i] = static_cast<unsigned char>(attributes >> (8 * i));
    return WriteFileBytes(package, b);
}

bool DamageEntryData(const std::wstring &package, const std::string &entryName) {
    std::vector<unsigned char> b;
    if (!ReadFileBytes(package, b)) return false;
    size_t at = FindHeader(b, 0x04034b50, 26, 30, entryName);
    if (at == std::string::npos) return false;
    const size_t data = at + 30 + Get16(b, at + 26) + Get16(b, at + 28);
    const size_t size = Get32(b, at + 18);
    if (size == 0 || data + size > b.size()) return false;
    std::memset(&b[data], 0xFF, size);
    return WriteFileBytes(package, b);
}

bool ReplaceBytes(const std::wstring &package, const std::string &from, const std::string &to) {
    if (from.size() != to.size() || from.empty()) return false;
    std::vector<unsigned char> b;
    if (!ReadFileBytes(package, b)) return false;
    bool found = false;
    for (size_t i = 0; i + from.size() <= b.size(); ++i)
        if (std::memcmp(&b[i], from.data(), from.size()) == 0) {
            std::memcpy(&b[i], to.data(), to.size());
            found = true;
        }
    return found && WriteFileBytes(package, b);
}

bool BreakEndRecord(const std::wstring &package) {
    std::vector<unsigned char> b;
    if (!ReadFileBytes(package, b) || b.size() < 22) return false;
    for (size_t i = b.size() - 22 + 1; i-- > 0;)
        if (Get32(b, i) == 0x06054b50) {
            b[i + 3] = 0;
            return WriteFileBytes(package, b);
        }
    return false;
}

bool StartProgram(Process &process, const std::wstring &commandLine) {
    return process.Start(commandLine);
}

HWND WaitWizard(const std::wstring &caption, DWORD processId, DWORD timeoutMs) {
    WindowQuery query;
    query.className = L"#32770";
    query.title = L"Setup Wizard : " + caption;
    query.processId = processId;
    return WaitTopWindow(query, timeoutMs);
}

HWND OpenWizard(Process &setup, const std::wstring &package, const std::wstring &caption) {
    if (!StartProgram(setup, QuoteArgument(package))) return nullptr;
    return WaitWizard(caption, setup.Id());
}

HWND Page(HWND wizard, int controlId) {
    return WaitControl(wizard, controlId, ControlState::Visible);
}

bool InstallToCompletion(HWND wizard, int actionId, const std::wstring &shot) {
    constexpr DWORD kEngineTimeoutMs = 60000;
    if (!Click(wizard, actionId)) return false;
    if (!shot.empty() && WaitControl(wizard, IDC_PROGRESS_BAR, ControlState::Visible, 2000))
        Screenshot(shot);  // as often as not the run is already over
    return WaitControl(wizard, IDC_COMPLETE, ControlState::Enabled, kEngineTimeoutMs) != nullptr;
}

bool InstallAndComplete(HWND wizard, Process &setup) {
    return InstallToCompletion(wizard, IDC_INSTALL) && Click(wizard, IDC_COMPLETE) && Ends(setup);
}

bool Ends(Process &process) { return process.Wait(15000) && process.ExitCode() == 0; }

bool FileExists(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileText(const std::wstring &path) {
    std::vector<unsigned char> b;
    if (!ReadFileBytes(path, b)) return "";
    return std::string(b.begin(), b.end());
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool RegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                    std::wstring &value) {
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    wchar_t buffer[2048] = L"";
    DWORD type = 0, size = sizeof buffer - sizeof(wchar_t);
    LONG r = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer),
                              &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_SZ) return false;
    value.assign(buffer, size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return true;
}

bool RegistryDword(HKEY root, const std::wstring &key, const std::wstring &name, DWORD &value) {
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof value;
    LONG r = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&value),
                              &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS && type == REG_DWORD;
}

bool RegistryKeyExists(HKEY root, const std::wstring &key) {
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool RegistryValueExists(HKEY root, const std::wstring &key, const std::wstring &name) {
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    LONG r = RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

void DeleteRegistryTree(HKEY root, const std::wstring &key) {
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    wchar_t name[256];
    for (;;) {
        DWORD length = 256;
        if (RegEnumKeyExW(k, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteRegistryTree(k, name);
    }
    RegCloseKey(k);
    RegDeleteKeyW(root, key.c_str());
}


namespace {

BOOL CALLBACK AddVisibleForeignWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND> *>(data)->push_back(window);
    return TRUE;
}

// The visible top-level windows of other processes.
std::vector<HWND> VisibleForeignWindows() {
    std::vector<HWND> windows;
    EnumWindows(AddVisibleForeignWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

bool PollWithoutNewWindows(const std::function<bool()> &done, DWORD timeoutMs,
                           std::vector<std::wstring> &seen, const std::vector<std::wstring> &programs) {
    const std::vector<HWND> before = VisibleForeignWindows();
    const DWORD start = GetTickCount();
    // Other tests run beside this one on the same display: only windows of the
    // programs watched count.
    auto watched = [&programs](HWND window) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const std::wstring image = ProcessImage(processId);
        const std::wstring name = image.substr(image.find_last_of(L"\\/") + 1);
        for (const std::wstring &program : programs)
            if (lstrcmpiW(name.c_str(), program.c_str()) == 0) return true;
        return false;
    };
    for (;;) {
        for (HWND window : VisibleForeignWindows()) {
            if (std::find(before.begin(), before.end(), window) != before.end() || !watched(window)) continue;
            wchar_t title[256] = L"", className[256] = L"";
            GetWindowTextW(window, title, 256);
            GetClassNameW(window, className, 256);
            const std::wstring text = std::wstring(title) + L" (" + className + L")";
            if (std::find(seen.begin(), seen.end(), text) == seen.end()) seen.push_back(text);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
}

DWORD RunningProcessNamed(const std::wstring &fileName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, fileName.c_str()) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

std::wstring ProcessImage(DWORD processId) {
    using Query = BOOL(WINAPI *)(HANDLE, DWORD, LPWSTR, PDWORD);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    if (!query) return L"";
    HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, processId);
    if (!process) return L"";
    wchar_t path[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    std::wstring image = query(process, 0, path, &size) ? path : L"";
    CloseHandle(process);
    return image;
}

DWORD WindowProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

void Screenshot(const std::wstring &name, DWORD settleMs) {
    Sleep(settleMs);  // let the window paint
    CreateDirectoryW(L"screenshots", nullptr);
    TakeScreenshot(L"screenshots\\setup_wizard_" + name + L".png");
}

}  // namespace setup_e2e
