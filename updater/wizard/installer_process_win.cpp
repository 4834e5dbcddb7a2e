#include "updater/wizard/installer_process_win.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include "common/kernel_handle_win.h"
#include "common/process_start_win.h"
#include "common/text.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"
#include "updater/wizard/install_run.h"

namespace {

constexpr DWORD kWaitStepMs = 50;

std::wstring AssociatedProgram(const std::wstring &path) {
    wchar_t program[MAX_PATH] = {};
    const INT_PTR found =
        reinterpret_cast<INT_PTR>(FindExecutableW(path.c_str(), nullptr, program));
    return found > 32 ? program : L"";
}

bool AnyProcessNamed(const wchar_t *name) {
    CKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (EqualsNoCase(entry.szExeFile, name)) return true;
    }
    return false;
}

}  // namespace

bool IsPlainFile(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsInstallerRunning(HANDLE process) {
    // The handle, held since creation, keeps the process identifier from being
    // reused, so "still running" cannot be answered by another process.
    if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return true;
    return AnyProcessNamed(L"dpinst.exe");
}

bool IsSetupPackageFile(const std::wstring &path) {
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size)) return false;
    MarkerSearch search(InstallerMarker());
    std::vector<char> buffer(64 * 1024);
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer.data(), DWORD(buffer.size()), &read, nullptr) && read > 0) {
        if (search.Feed(reinterpret_cast<const uint8_t *>(buffer.data()), read))
            return search.FoundBefore(static_cast<uint64_t>(size.QuadPart));
    }
    return false;
}

InstallerEnd RunInstallerAndWait(const std::wstring &path, bool quiet, HANDLE stopEvent) {
    InstallerEnd end;
    if (!IsPlainFile(path)) return end;
    const std::wstring program = EndsWithNoCase(path, L".exe") ? L"" : AssociatedProgram(path);
    const std::wstring commandLine =
        quiet ? QuietInstallerCommandLine(path, program,
                                          EndsWithNoCase(path, L".exe") && IsSetupPackageFile(path))
              : InstallerCommandLine(path, program);
    StartedProcess installer = StartProcess(L"", commandLine);
    if (!installer) return end;
    end.started = true;
    while (IsInstallerRunning(installer.process.Get())) {
        if (WaitForSingleObject(stopEvent, kWaitStepMs) == WAIT_OBJECT_0) break;
    }
    DWORD exitCode = 0;
    if (GetExitCodeProcess(installer.process.Get(), &exitCode) && exitCode != STILL_ACTIVE)
        end.exitCode = exitCode;
    return end;
}

void StartProgram(const std::wstring &program) {
    StartProcess(program, L"", ProcessUser::kDesktopUser);
}
