#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

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
