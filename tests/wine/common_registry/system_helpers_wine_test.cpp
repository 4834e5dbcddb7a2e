#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/kernel_handle_win.h"
#include "common/single_instance_mutex.h"
#include "common/system_folders.h"
#include "common/win32_error_win.h"

TEST(SingleInstanceMutex, TheSecondHolderSeesTheFirst) {
    const std::wstring name = L"TesselTest_" + std::to_wstring(GetCurrentProcessId());
    {
        CSingleInstanceMutex first(name);
        EXPECT_FALSE(first.AlreadyExists());
        CSingleInstanceMutex second(name);
        EXPECT_TRUE(second.AlreadyExists());
        EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), second.CreationError());
    }
    // Both handles are closed: the name is free again.
    CSingleInstanceMutex later(name);
    EXPECT_FALSE(later.AlreadyExists());
}

// A mutex of the name made first by another user, one without administrator
// rights. Under Wine every process runs as one user, so the stranger is a
// stand-in: a mutex whose owner the test sets to another user's SID (Wine lets
// a process name any owner; Windows would demand SeRestorePrivilege). What
// Windows gives a pupil's own mutex (owner: the pupil) is the same shape.
CKernelHandle StrangersMutex(const std::wstring &name, const wchar_t *access) {
    const std::wstring text = L"O:S-1-5-21-1004336348-1177238915-682003330-1013" + std::wstring(access);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return CKernelHandle();
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    CKernelHandle mutex(CreateMutexW(&attributes, FALSE, name.c_str()));
    LocalFree(descriptor);
    return mutex;
}

TEST(SingleInstanceMutex, AStrangersMutexOfTheNameIsNotAFirstCopy) {
    const std::wstring name = L"TesselStranger_" + std::to_wstring(GetCurrentProcessId());
    for (const wchar_t *access : {L"D:(A;;GA;;;WD)", L"D:(D;;GA;;;WD)"}) {
        CKernelHandle stranger = StrangersMutex(name, access);
        ASSERT_TRUE(stranger) << Win32ErrorText(GetLastError());
        CSingleInstanceMutex ours(name);
        EXPECT_FALSE(ours.AlreadyExists()) << testing::PrintToString(std::wstring(access));
        EXPECT_TRUE(ours.HeldByStranger());
        // Ours let the stranger's object go: it ends with the stranger's handle.
        stranger.Reset();
        CSingleInstanceMutex later(name);
        EXPECT_FALSE(later.AlreadyExists());
        EXPECT_FALSE(later.HeldByStranger());
    }
}

// Nobody but SYSTEM, the Administrators and this user may open ours: another
// user holding a handle to it would keep it alive, and every later start would
// take it for a running first copy.
TEST(SingleInstanceMutex, OursAdmitsOnlySystemAdministratorsAndItsCreator) {
    const std::wstring name = L"TesselAccess_" + std::to_wstring(GetCurrentProcessId());
    CSingleInstanceMutex ours(name);
    ASSERT_FALSE(ours.AlreadyExists());
    CKernelHandle opened(OpenMutexW(READ_CONTROL, FALSE, name.c_str()));
    ASSERT_TRUE(opened);
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(DWORD(ERROR_SUCCESS),
              GetSecurityInfo(opened.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &acl, nullptr, &descriptor));
    ASSERT_TRUE(acl);
    std::vector<std::wstring> admitted;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void *ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, &ace));
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, static_cast<ACE_HEADER *>(ace)->AceType);
        wchar_t *sid = nullptr;
        ASSERT_TRUE(ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE *>(ace)->SidStart, &sid));
        admitted.push_back(sid);
        LocalFree(sid);
    }
    LocalFree(descriptor);
    ASSERT_EQ(3u, admitted.size());
    EXPECT_EQ(L"S-1-5-18", admitted[0]);
    EXPECT_EQ(L"S-1-5-32-544", admitted[1]);
    EXPECT_EQ(0u, admitted[2].rfind(L"S-1-5-21-", 0)) << testing::PrintToString(admitted[2]);
}

TEST(ProgramFolder, IsTheExecutablesFolderWithoutTrailingBackslash) {
    wchar_t file[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, file, MAX_PATH));
    std::wstring expected(file);
    expected = expected.substr(0, expected.rfind(L'\\'));
    std::wstring folder = GetProgramFolder();
    EXPECT_EQ(expected, folder);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(L'\\', folder.back());
}

TEST(SpecialFolder, GivesPathAndDisplayName) {
    std::wstring path, display;
    ASSERT_TRUE(GetSpecialFolder(path, &display, CSIDL_WINDOWS));
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiW(windows, path.c_str()));
    EXPECT_FALSE(display.empty());

    ASSERT_TRUE(GetSpecialFolder(path, nullptr, CSIDL_PROGRAM_FILES));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));

    // A virtual folder has no path.
    display = L"stale";
    EXPECT_FALSE(GetSpecialFolder(path, &display, CSIDL_DRIVES));
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(display.empty());
}

TEST(FileAttributes, SetAndClearTogether) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring file = std::wstring(temp) + L"tessel_attr_test.txt";
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_ARCHIVE, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    EXPECT_TRUE(ChangeFileAttributes(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0));
    DWORD attrs = GetFileAttributesW(file.c_str());
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_HIDDEN);

    EXPECT_TRUE(ChangeFileAttributes(file, 0, FILE_ATTRIBUTE_READONLY));
    attrs = GetFileAttributesW(file.c_str());
    EXPECT_FALSE(attrs & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_HIDDEN);
    // Clearing wins over setting the same bit.
    EXPECT_TRUE(ChangeFileAttributes(file, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_FALSE(ChangeFileAttributes(file, FILE_ATTRIBUTE_READONLY, 0));
}

TEST(Win32ErrorText, SystemAndWinInetCodesReadAsOneLineUnknownOnesByNumber) {
    LoadLibraryW(L"wininet.dll");  // its codes come from its own message table
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED), DWORD(12029)}) {
        const std::wstring text = Win32ErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << code;
        EXPECT_NE(text.back(), L'.') << code;
    }
    EXPECT_NE(Win32ErrorText(ERROR_FILE_NOT_FOUND), Win32ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Win32ErrorText(0x2FFFFFFF), L"Error 805306367");
}
