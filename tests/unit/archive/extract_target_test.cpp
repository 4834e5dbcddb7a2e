#include <gtest/gtest.h>

#include "setup/archive/extract_target.h"

TEST(ExtractTarget, OnlyContainedRelativeTargetsGetTheirFoldersMade) {
    for (const wchar_t *t : {L"a.txt", L"bin\\tool.exe", L"bin/tool.exe", L"a..b\\c", L"..a"})
        EXPECT_TRUE(IsContainedRelativeTarget(t)) << testing::PrintToString(std::wstring(t));
    for (const wchar_t *t : {L"", L"\\x", L"/x", L"C:\\x", L"C:x", L"..\\x", L"a/../x", L"a\\..\\..\\x",
                             L"\\\\server\\share\\x"})
        EXPECT_FALSE(IsContainedRelativeTarget(t)) << testing::PrintToString(std::wstring(t));
}
