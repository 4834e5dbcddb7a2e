#include <gtest/gtest.h>

#include "common/zip/entry_path.h"

// Names an archive may carry to write outside the destination folder.
TEST(EntryPath, HostileNamesAreRefused) {
    const wchar_t *hostile[] = {
        L"", L"/", L"\\", L"/etc/passwd", L"\\Windows\\win.ini", L"\\\\server\\share\\x",
        L"C:\\Windows\\x.dll", L"C:x.dll", L"c:/x", L"..", L"../x", L"..\\x", L"a/../../x",
        L"a\\..\\..\\x", L"a/..", L"./x", L"a/./b", L"...", L"a/.../b", L".. /x", L"a/. /b",
        L"file.txt:stream", L"a\\b:c", L"a/b\x01", L"a/<b>", L"a|b", L"a?", L"a*", L"a\"b",
        L"//", L"\\/x",
    };
    for (const wchar_t *name : hostile) {
        std::wstring relative = L"unchanged";
        EXPECT_FALSE(EntryNameToRelativePath(name, relative)) << testing::PrintToString(std::wstring(name));
        EXPECT_TRUE(relative.empty());
    }
}

TEST(EntryPath, OrdinaryNamesBecomeRelativeLocalPaths) {
    struct Case { const wchar_t *name, *relative; } cases[] = {
        {L"bin/tool.exe", L"bin\\tool.exe"},
        {L"data/", L"data"},
        {L"a//b\\\\c/", L"a\\b\\c"},
        {L"..a/b..", L"..a\\b.."},
        {L".profile", L".profile"},
        {L"\xD55C\xAE00/\xD30C\xC77C.txt", L"\xD55C\xAE00\\\xD30C\xC77C.txt"},
    };
    for (const Case &c : cases) {
        std::wstring relative;
        EXPECT_TRUE(EntryNameToRelativePath(c.name, relative)) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(relative, c.relative);
    }
}
