#include "common/single_instance_mutex.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace {

// Copies of this process's user SID (TokenUser) or of the default owner its
// objects get (TokenOwner); empty when the token cannot be read.
std::vector<BYTE> OwnSid(TOKEN_INFORMATION_CLASS which) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
    CKernelHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.Get(), which, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.Get(), which, buffer.data(), size, &size))
        return {};
    const PSID sid = which == TokenUser ? reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid
                                        : reinterpret_cast<TOKEN_OWNER *>(buffer.data())->Owner;
    const BYTE *bytes = static_cast<const BYTE *>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

bool SameSid(PSID sid, const std::vector<BYTE> &other) {
    return !other.empty() && EqualSid(sid, const_cast<BYTE *>(other.data()));
}

std::wstring SidText(const std::vector<BYTE> &sid) {
    if (sid.empty()) return L"";
    wchar_t *text = nullptr;
    if (!ConvertSidToStringSidW(const_cast<BYTE *>(sid.data()), &text)) return L"";
    std::wstring result(text);
    LocalFree(text);
    return result;
}

bool IsTrustedOwner(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool trusted = owner && (IsWellKnownSid(owner, WinLocalSystemSid) ||
                                   IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                                   SameSid(owner, OwnSid(TokenUser)) ||
                                   SameSid(owner, OwnSid(TokenOwner)));
    LocalFree(descriptor);
    return trusted;
}

}  // namespace

CSingleInstanceMutex::CSingleInstanceMutex(const std::wstring &name) {
    std::wstring access = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)";
    const std::wstring user = SidText(OwnSid(TokenUser));
    if (!user.empty()) access += L"(A;;GA;;;" + user + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(access.c_str(), SDDL_REVISION_1,
                                                         &descriptor, nullptr);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};

    SetLastError(ERROR_SUCCESS);
    mutex_.Reset(CreateMutexW(descriptor ? &attributes : nullptr, FALSE, name.c_str()));
    error_ = GetLastError();
    LocalFree(descriptor);

    // Ours always admits this process, so a refused open is a stranger's mutex.
    if (!mutex_ && error_ == ERROR_ACCESS_DENIED) stranger_ = true;
    if (mutex_ && error_ == ERROR_ALREADY_EXISTS && !IsTrustedOwner(mutex_.Get())) {
        stranger_ = true;
        mutex_.Reset();  // holding it would keep the stranger's object alive
    }
}
