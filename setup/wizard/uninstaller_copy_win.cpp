#include "setup/wizard/uninstaller_copy_win.h"

#include <windows.h>
#include <sddl.h>
#include <wincrypt.h>

#include <cstdint>
#include <vector>

#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "setup/script/program_file.h"
#include "setup/wizard/start_program_win.h"
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
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(from, block.data(), DWORD(block.size()), &got, nullptr)) return false;
        if (got == 0) return true;
        if (!WriteFile(out.Get(), block.data(), got, &put, nullptr) || put != got) return false;
    }
}

}  // namespace

bool StartCopyFromTemp(const std::wstring &windowsDir, const std::wstring &arguments) {
    const std::wstring self = GetProgramFile();
    uint64_t random = 0;
    if (self.empty() || windowsDir.empty() || !RandomNumber(random)) return false;
    const std::wstring folder = CopyFolderPath(windowsDir, random);
    const std::wstring copy = CopyPathIn(folder, self);
    if (!CreatePrivateFolder(folder)) return false;
    if (CopyFromHandle(ProgramFileHandle(), copy)) {
        // Nothing can delete the copy while it runs, and nothing of the
        // product is left to do it afterwards: Windows deletes it and then its
        // folder at its next start. Asking needs administrator rights, which an
        // uninstaller has.
        MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        // The copy's path, quoted for folders with blanks, and what it is to do.
        std::wstring commandLine = L"\"" + copy + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        if (SetCurrentDirectoryW(folder.c_str()) && StartCommandLine(commandLine)) return true;
    }
    // Out of the folder before it goes.
    SetCurrentDirectoryW(GetProgramFolder().c_str());
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return false;
}
