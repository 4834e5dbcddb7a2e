#include "common/folders.h"

#include <string>

#include <gtest/gtest.h>

namespace {

bool IsFolder(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::wstring &path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    ::WriteFile(h, "data", 4, &written, nullptr);
    CloseHandle(h);
}

class FolderTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        base_ = std::wstring(temp) + L"tessel_folders_" + std::to_wstring(GetCurrentProcessId());
        DeleteFolderTree(base_);
        ASSERT_TRUE(CreateDirectoryW(base_.c_str(), nullptr));
    }
    void TearDown() override { DeleteFolderTree(base_); }

    std::wstring base_;
};

}  // namespace

TEST_F(FolderTest, CreateFolderPathMakesEveryLevelOnce) {
    EXPECT_TRUE(CreateFolderPath(base_ + L"\\a\\\\b\\c\\"));
    EXPECT_TRUE(IsFolder(base_ + L"\\a"));
    EXPECT_TRUE(IsFolder(base_ + L"\\a\\b"));
    EXPECT_TRUE(IsFolder(base_ + L"\\a\\b\\c"));
    EXPECT_TRUE(CreateFolderPath(base_ + L"\\a\\\\b\\c\\"));
    EXPECT_TRUE(CreateFolderPath(L""));
    EXPECT_TRUE(CreateFolderPath(L"C:\\"));
}

TEST_F(FolderTest, CreateFolderPathStopsAtAFileInTheWay) {
    WriteFile(base_ + L"\\blocker");
    EXPECT_FALSE(CreateFolderPath(base_ + L"\\blocker"));
    EXPECT_FALSE(CreateFolderPath(base_ + L"\\blocker\\below"));
    // Levels made before the failing one stay.
    EXPECT_FALSE(CreateFolderPath(base_ + L"\\made\\bad<name\\y"));
    EXPECT_TRUE(IsFolder(base_ + L"\\made"));
    EXPECT_FALSE(CreateFolderPath(L"Q:\\no\\such\\drive"));
}

TEST_F(FolderTest, DeleteFolderTreeRemovesReadOnlyContent) {
    ASSERT_TRUE(CreateFolderPath(base_ + L"\\tree\\sub\\deeper"));
    WriteFile(base_ + L"\\tree\\plain.txt");
    WriteFile(base_ + L"\\tree\\sub\\locked.txt", FILE_ATTRIBUTE_READONLY);
    WriteFile(base_ + L"\\tree\\sub\\deeper\\hidden.bin", FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((base_ + L"\\tree\\sub").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(DeleteFolderTree(base_ + L"\\tree\\\\"));
    EXPECT_FALSE(Exists(base_ + L"\\tree"));
    EXPECT_TRUE(IsFolder(base_));
    // Nothing left to remove.
    EXPECT_FALSE(DeleteFolderTree(base_ + L"\\tree"));
}

TEST_F(FolderTest, DeleteFolderTreeLeavesRootsAndDottedPathsAlone) {
    WriteFile(L"C:\\tessel_root_marker.txt");
    for (const wchar_t *root : {L"C:\\", L"C:", L"C:\\\\", L"\\"})
        EXPECT_TRUE(DeleteFolderTree(root)) << root;
    EXPECT_TRUE(Exists(L"C:\\tessel_root_marker.txt"));
    EXPECT_TRUE(IsFolder(L"C:\\windows"));
    DeleteFileW(L"C:\\tessel_root_marker.txt");

    ASSERT_TRUE(CreateFolderPath(base_ + L"\\keep\\inner"));
    EXPECT_FALSE(DeleteFolderTree(base_ + L"\\keep\\inner\\.."));
    EXPECT_TRUE(IsFolder(base_ + L"\\keep\\inner"));
}

TEST_F(FolderTest, DeleteFolderTreeHonoursTheStopEvent) {
    ASSERT_TRUE(CreateFolderPath(base_ + L"\\tree\\sub"));
    WriteFile(base_ + L"\\tree\\sub\\file.txt");
    HANDLE stop = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_FALSE(DeleteFolderTree(base_ + L"\\tree", stop));
    EXPECT_TRUE(Exists(base_ + L"\\tree\\sub\\file.txt"));

    ResetEvent(stop);
    EXPECT_TRUE(DeleteFolderTree(base_ + L"\\tree", stop));
    EXPECT_FALSE(Exists(base_ + L"\\tree"));
    CloseHandle(stop);
}
