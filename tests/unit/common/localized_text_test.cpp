#include "common/localized_text.h"

#include <gtest/gtest.h>

TEST(PickText, KoreanOnlyForTheKoreanLanguageIdentifier) {
    const LocalizedText next = {L"\ub2e4\uc74c", L"Next"};
    EXPECT_STREQ(L"\ub2e4\uc74c", PickText(next, 0x0412));
    EXPECT_STREQ(L"Next", PickText(next, 0x0409));
    // Other Korean sublanguages are not 0x0412 and get English.
    EXPECT_STREQ(L"Next", PickText(next, 0x0812));
    EXPECT_STREQ(L"Next", PickText(next, 0));
}
