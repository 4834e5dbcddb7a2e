#include "setup/wizard/uninstaller_copy_win.h"

#include <windows.h>
#include <sddl.h>
#include <wincrypt.h>

#include <cstdint>
#include <vector>

#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "setup/script/program_file.h"
#include "setup/wizard/uninstaller_move.h"

namespace {

bool RandomNumber(uint64_t &value) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return false;
    const bool made = CryptGenRandom(provider, sizeof value, reinterpret_cast<BYTE *>(&value)) != FALSE;
    CryptReleaseContext(provider, 0);
    return made;
}

// Full control for SYSTEM and Administrators, nothing inherited from the Temp
// folder, and the same for everything made inside.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

bool CreatePrivateFolder(const std::wstring &path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const bool created = CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    LocalFree(descriptor);
    return created;
}

bool CopyFromHandle(HANDLE from, const std::wstring &to) {
    CKernelHandle out(CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER start = {};
    if (!out || !SetFilePointerEx(from, start, nullptr, FILE_BEGIN)) return false;
    std::vector<char> block(65536);
    DWORD got = 0, put = 0;
    while (ReadFile(from, block.data(), DWORD(block.size()), &got, nullptr) && got > 0)
        if (!WriteFile(out.Get(), block.data(), got, &put, nullptr) || put != got) return false;
    return got == 0;
}

// A handle the copy inherits without knowing it: when the copy ends the
// handle closes and takes `path` with it.
HANDLE OpenDeletedOnClose(const std::wstring &path, DWORD flags) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherited, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | flags, nullptr);
}

bool StartCopy(const std::wstring &copy, const std::wstring &folder) {
    // The file first, so that the folder's handle closes after it.
    CKernelHandle copyFile(OpenDeletedOnClose(copy, 0));
    CKernelHandle copyFolder(OpenDeletedOnClose(folder, FILE_FLAG_BACKUP_SEMANTICS));
    if (!copyFile) return false;
    // The copy's path is its whole command line, quoted for folders with blanks.
    std::wstring commandLine = L"\"" + copy + L"\"";
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(copy.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool StartCopyFromTemp(const std::wstring &windowsDir) {
    const std::wstring self = GetProgramFile();
    uint64_t random = 0;
    if (self.empty() || windowsDir.empty() || !RandomNumber(random)) return false;
    const std::wstring folder = CopyFolderPath(windowsDir, random);
    const std::wstring copy = CopyPathIn(folder, self);
    if (!CreatePrivateFolder(folder)) return false;
    if (CopyFromHandle(ProgramFileHandle(), copy)) {
        // Should the copy outlive its handles (Windows keeps a running
        // program's file until its image is gone), Windows deletes both at its
        // next start. Asking needs administrator rights, which an uninstaller
        // has.
        MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        if (StartCopy(copy, folder)) return true;
    }
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return false;
}
