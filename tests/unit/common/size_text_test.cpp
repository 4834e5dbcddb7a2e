#include "common/size_text.h"

#include <gtest/gtest.h>

TEST(FormatSize, SwitchesUnitsAtTheBinaryThresholds) {
    EXPECT_EQ(L"0B", FormatSize(0));
    EXPECT_EQ(L"1023B", FormatSize(1023));
    EXPECT_EQ(L"1023B", FormatSize(1023.9));
    EXPECT_EQ(L"1.0KB", FormatSize(1024));
    EXPECT_EQ(L"1.5KB", FormatSize(1536));
    EXPECT_EQ(L"1024.0KB", FormatSize(1048575));
    EXPECT_EQ(L"1.0MB", FormatSize(1048576));
    EXPECT_EQ(L"3.0MB", FormatSize(3 * 1048576.0));
    EXPECT_EQ(L"0B", FormatSize(-5));
}

TEST(FormatSpeed, UsesTheSameThresholds) {
    EXPECT_EQ(L"512B/s", FormatSpeed(512));
    EXPECT_EQ(L"2.0KB/s", FormatSpeed(2048));
    EXPECT_EQ(L"1.5MB/s", FormatSpeed(1.5 * 1048576));
}
