#include <gtest/gtest.h>

#include "common/zip/zip_format.h"

using namespace zip;

namespace {

uint16_t DosDate(int y, int m, int d) { return static_cast<uint16_t>((y - 1980) << 9 | m << 5 | d); }
uint16_t DosTime(int h, int mi, int s) { return static_cast<uint16_t>(h << 11 | mi << 5 | s / 2); }

}  // namespace

TEST(DosTime, ConvertsFieldsLikeDosDateTimeToFileTime) {
    FileTimeTicks t = 0;
    // 2010-01-01 12:04:04 is 1262347444 Unix seconds.
    ASSERT_TRUE(DosToFileTime(DosDate(2010, 1, 1), DosTime(12, 4, 4), t));
    EXPECT_EQ(t, UnixToFileTime(1262347444));
    ASSERT_TRUE(DosToFileTime(DosDate(1980, 1, 1), 0, t));
    EXPECT_EQ(t, 119600064000000000ull);  // FILETIME of 1980-01-01 00:00:00
    ASSERT_TRUE(DosToFileTime(DosDate(2000, 2, 29), DosTime(23, 59, 58), t));
    EXPECT_EQ(t, UnixToFileTime(951868798));
}

TEST(DosTime, RejectsFieldsThatNameNoDate) {
    FileTimeTicks t = 1;
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 0, 1), 0, t));
    EXPECT_EQ(t, 0u);
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 13, 1), 0, t));
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 1, 0), 0, t));
    EXPECT_FALSE(DosToFileTime(DosDate(2011, 2, 29), 0, t));
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 1, 1), DosTime(24, 0, 0), t));
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 1, 1), static_cast<uint16_t>(60 << 5), t));
    EXPECT_FALSE(DosToFileTime(DosDate(2010, 1, 1), 30, t));  // 60 seconds
}

TEST(DosTime, CivilRoundTripsThroughDosFields) {
    for (int64_t unix : {315532800LL, 951868799LL, 1262347445LL, 4102444799LL}) {
        CivilTime c = UnixToCivil(unix);
        uint16_t date, time;
        CivilToDos(c, date, time);
        FileTimeTicks t;
        ASSERT_TRUE(DosToFileTime(date, time, t)) << unix;
        EXPECT_EQ(t, UnixToFileTime(static_cast<uint32_t>(unix - unix % 2))) << unix;
    }
    uint16_t date, time;
    CivilToDos(UnixToCivil(0), date, time);  // before 1980: clamped to its start
    EXPECT_EQ(date, DosDate(1980, 1, 1));
    EXPECT_EQ(time, 0);
}

TEST(ExtendedTimes, LocalFormRoundTripsAndCentralFormKeepsOnlyModification) {
    ExtendedTimes t;
    t.hasModification = t.hasAccess = t.hasCreation = true;
    t.modification = 100, t.access = 200, t.creation = 300;
    std::vector<uint8_t> local = EncodeExtendedTimes(t, false);
    ExtendedTimes back;
    ASSERT_TRUE(FindExtendedTimes(local.data(), local.size(), back));
    EXPECT_TRUE(back.hasModification && back.hasAccess && back.hasCreation);
    EXPECT_EQ(back.modification, 100u);
    EXPECT_EQ(back.access, 200u);
    EXPECT_EQ(back.creation, 300u);

    std::vector<uint8_t> central = EncodeExtendedTimes(t, true);
    EXPECT_EQ(central.size(), 9u);
    ASSERT_TRUE(FindExtendedTimes(central.data(), central.size(), back));
    EXPECT_TRUE(back.hasModification);
    EXPECT_FALSE(back.hasAccess);  // flags announce it, the bytes are not there
}

TEST(ExtendedTimes, FoundAfterOtherFieldsAndMalformedBlocksRefused) {
    std::vector<uint8_t> extra = {0x01, 0x00, 0x02, 0x00, 0xAA, 0xBB,   // some other field
                                  0x55, 0x54, 0x05, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00};
    ExtendedTimes t;
    ASSERT_TRUE(FindExtendedTimes(extra.data(), extra.size(), t));
    EXPECT_TRUE(t.hasModification);
    EXPECT_EQ(t.modification, 16u);

    std::vector<uint8_t> overrun = {0x55, 0x54, 0x09, 0x00, 0x01, 0x10};
    EXPECT_FALSE(FindExtendedTimes(overrun.data(), overrun.size(), t));
    std::vector<uint8_t> padding = {0x00, 0x00};
    EXPECT_TRUE(FindExtendedTimes(padding.data(), padding.size(), t));
    EXPECT_FALSE(t.hasModification);
}

TEST(Records, EncodeAndDecodeAgree) {
    CentralHeader h;
    h.versionMadeBy = 0x0B17, h.method = 8, h.crc32 = 0xDEADBEEF, h.compressedSize = 5;
    h.uncompressedSize = 70000, h.nameLength = 3, h.externalAttributes = 0x81A40020;
    h.localHeaderOffset = 0x12345678;
    uint8_t bytes[kCentralHeaderSize];
    EncodeCentralHeader(h, bytes);
    CentralHeader back;
    ASSERT_TRUE(DecodeCentralHeader(bytes, back));
    EXPECT_EQ(back.crc32, h.crc32);
    EXPECT_EQ(back.externalAttributes, h.externalAttributes);
    EXPECT_EQ(back.localHeaderOffset, h.localHeaderOffset);
    EXPECT_EQ(back.uncompressedSize, 70000u);
    bytes[0] ^= 1;
    EXPECT_FALSE(DecodeCentralHeader(bytes, back));
}
