#include <windows.h>

#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "common/localized_text.h"

namespace {
unsigned gExpectedLang = 0x0409;
const LocalizedText kCancel = {L"\ucde8\uc18c", L"Cancel"};
}  // namespace

TEST(Localized, FollowsTheSystemDefaultLanguage) {
    ASSERT_EQ(gExpectedLang, GetSystemDefaultLangID());
    if (gExpectedLang == 0x0412) {
        EXPECT_TRUE(SystemIsKorean());
        EXPECT_STREQ(L"\ucde8\uc18c", Localized(kCancel));
    } else {
        EXPECT_FALSE(SystemIsKorean());
        EXPECT_STREQ(L"Cancel", Localized(kCancel));
    }
}

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::wcsncmp(argv[i], L"--expect-lang=", 14) == 0)
            gExpectedLang = unsigned(std::wcstoul(argv[i] + 14, nullptr, 16));
    return RUN_ALL_TESTS();
}
