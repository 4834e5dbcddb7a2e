#include <gtest/gtest.h>

#include "common/localized_text.h"
#include "updater/transfer/extract_texts.h"

// The disk-space message names the total unpacked size in one of three forms.
TEST(ExtractTexts, DiskSpaceMessageNamesTheTotalInItsForm) {
    struct Case {
        double total;
        const wchar_t *english;
    };
    const Case cases[] = {
        {700, L"In order to copy installation files, disk space of at least 700B is needed."},
        {1023.9, L"In order to copy installation files, disk space of at least 1023B is needed."},
        {1024, L"In order to copy installation files, disk space of at least 1.0KB is needed."},
        {1048575, L"In order to copy installation files, disk space of at least 1024.0KB is needed."},
        {1500000, L"In order to copy installation files, disk space of at least 1.4MB is needed."},
        {4294967295.0 * 3, L"In order to copy installation files, disk space of at least 12288.0MB is needed."},
    };
    for (const Case &c : cases) EXPECT_EQ(DiskSpaceMessage(c.total, 0x0409), c.english) << c.total;
    EXPECT_EQ(DiskSpaceMessage(1500000, kKoreanLangId),
              L"설치 파일을 복사하기 위해서는 최소 1.4MB의 Disk 공간이 필요합니다.");
    EXPECT_EQ(DiskSpaceMessage(700, kKoreanLangId),
              L"설치 파일을 복사하기 위해서는 최소 700B의 Disk 공간이 필요합니다.");
}
