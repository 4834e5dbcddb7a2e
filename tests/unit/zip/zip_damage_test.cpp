#include <gtest/gtest.h>

#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "tests/unit/zip/zip_test_support.h"

using namespace zip;

// Damaged archives end in a CZipException with a cause, never in a read or
// write outside the bytes given (the unit tests run under ASan).

namespace {

ZipCause OpenCause(const std::vector<uint8_t> &bytes) {
    MemoryReadStream stream(bytes.data(), bytes.size());
    try {
        ZipDirectory dir(stream);
    } catch (const CZipException &e) {
        return e.Cause();
    }
    ADD_FAILURE() << "archive opened";
    return ZipCause::WriterClosed;
}

ZipCause ReadCause(const std::vector<uint8_t> &bytes, size_t index = 0) {
    MemoryReadStream stream(bytes.data(), bytes.size());
    ZipDirectory dir(stream);
    try {
        ZipEntryReader reader(stream, dir, dir.Entry(index));
        uint8_t buffer[4096];
        while (reader.Read(buffer, sizeof buffer) > 0) {
        }
    } catch (const CZipException &e) {
        return e.Cause();
    }
    ADD_FAILURE() << "entry read";
    return ZipCause::WriterClosed;
}

size_t EndAt(const std::vector<uint8_t> &bytes) { return bytes.size() - kEndRecordSize; }
size_t DirectoryAt(const std::vector<uint8_t> &bytes) { return ReadLe32(&bytes[EndAt(bytes) + 16]); }

std::vector<uint8_t> OneEntry(const std::vector<uint8_t> &data, bool compress = true) {
    return BuildArchive({{"data.txt", data, false, compress}});
}

}  // namespace

TEST(DamagedArchive, EndRecordProblemsRefuseTheArchive) {
    std::vector<uint8_t> good = BuildArchive({{"a.txt", TextBytes(100)}, {"b.txt", TextBytes(100)}});
    auto patch16 = [&](size_t at, uint16_t v) {
        std::vector<uint8_t> b = good;
        WriteLe16(&b[EndAt(b) + at], v);
        return b;
    };
    EXPECT_EQ(OpenCause(patch16(4, 1)), ZipCause::BadEndRecord);   // disk number
    EXPECT_EQ(OpenCause(patch16(6, 1)), ZipCause::BadEndRecord);   // directory disk
    EXPECT_EQ(OpenCause(patch16(8, 1)), ZipCause::BadEndRecord);   // counts disagree
    EXPECT_EQ(OpenCause(patch16(10, 3)), ZipCause::BadEndRecord);
    std::vector<uint8_t> moreEntries = patch16(8, 3);
    WriteLe16(&moreEntries[EndAt(moreEntries) + 10], 3);
    EXPECT_EQ(OpenCause(moreEntries), ZipCause::BadDirectory);     // a third header is not there

    std::vector<uint8_t> beyond = good;  // directory offset past the end record
    WriteLe32(&beyond[EndAt(beyond) + 16], 0x7FFFFFF0);
    EXPECT_EQ(OpenCause(beyond), ZipCause::BadEndRecord);
    std::vector<uint8_t> huge = good;  // directory size past the end record
    WriteLe32(&huge[EndAt(huge) + 12], 0xFFFFFFFF);
    EXPECT_EQ(OpenCause(huge), ZipCause::BadEndRecord);

    std::vector<uint8_t> cut(good.begin(), good.end() - 5);  // record cut short
    EXPECT_EQ(OpenCause(cut), ZipCause::BadEndRecord);
    EXPECT_EQ(OpenCause(TextBytes(5000)), ZipCause::NoEndRecord);
    EXPECT_EQ(OpenCause({}), ZipCause::NoEndRecord);
}

TEST(DamagedArchive, CentralHeadersMustLieInsideTheDirectory) {
    std::vector<uint8_t> good = BuildArchive({{"a.txt", TextBytes(100)}});
    std::vector<uint8_t> longName = good;  // name length runs into the end record
    WriteLe16(&longName[DirectoryAt(longName) + 28], 0xFFFF);
    EXPECT_EQ(OpenCause(longName), ZipCause::BadDirectory);
    std::vector<uint8_t> noSignature = good;
    noSignature[DirectoryAt(noSignature)] = 'X';
    EXPECT_EQ(OpenCause(noSignature), ZipCause::BadDirectory);
}

TEST(DamagedArchive, TruncatedArchiveDoesNotOpen) {
    std::vector<uint8_t> good = OneEntry(TextBytes(50000));
    for (size_t keep : {good.size() - 1, good.size() / 2, size_t(30), size_t(3)}) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
        MemoryReadStream stream(cut.data(), cut.size());
        EXPECT_THROW(ZipDirectory{stream}, CZipException) << keep;
    }
}

TEST(DamagedArchive, EntryDataProblemsFailTheEntry) {
    const std::vector<uint8_t> text = TextBytes(100000);
    std::vector<uint8_t> crc = OneEntry(text);
    WriteLe32(&crc[DirectoryAt(crc) + 16], 0x12345678);
    EXPECT_EQ(ReadCause(crc), ZipCause::CrcMismatch);

    std::vector<uint8_t> storedCrc = OneEntry(text, false);
    storedCrc[100] ^= 0x40;  // a data byte
    EXPECT_EQ(ReadCause(storedCrc), ZipCause::CrcMismatch);

    std::vector<uint8_t> garbage = OneEntry(text);  // deflate stream overwritten
    size_t data = kLocalHeaderSize + 8 + ReadLe16(&garbage[28]);
    for (size_t i = 0; i < 64; ++i) garbage[data + i] = 0xFF;
    EXPECT_EQ(ReadCause(garbage), ZipCause::BadData);

    std::vector<uint8_t> longer = OneEntry(text);  // declared smaller than it inflates to
    WriteLe32(&longer[DirectoryAt(longer) + 24], 1000);
    EXPECT_EQ(ReadCause(longer), ZipCause::BadData);
    std::vector<uint8_t> shorter = OneEntry(text);  // declared larger
    WriteLe32(&shorter[DirectoryAt(shorter) + 24], 200000);
    EXPECT_EQ(ReadCause(shorter), ZipCause::BadData);
    std::vector<uint8_t> cutData = OneEntry(text);  // compressed size short of the stream
    WriteLe32(&cutData[DirectoryAt(cutData) + 20], 100);
    EXPECT_EQ(ReadCause(cutData), ZipCause::BadData);
}

TEST(DamagedArchive, LocalHeaderProblemsFailTheEntry) {
    const std::vector<uint8_t> text = TextBytes(1000);
    std::vector<uint8_t> signature = OneEntry(text);
    signature[0] = 'X';
    EXPECT_EQ(ReadCause(signature), ZipCause::BadLocalHeader);

    std::vector<uint8_t> offset = OneEntry(text);  // local header inside the directory
    WriteLe32(&offset[DirectoryAt(offset) + 42], static_cast<uint32_t>(DirectoryAt(offset) - 10));
    EXPECT_EQ(ReadCause(offset), ZipCause::BadLocalHeader);

    std::vector<uint8_t> extra = OneEntry(text);  // extra field runs past the entry data
    WriteLe16(&extra[28], 0xFFF0);
    EXPECT_EQ(ReadCause(extra), ZipCause::BadExtraField);

    std::vector<uint8_t> badUt = OneEntry(text);  // "UT" announces more than the extra field has
    WriteLe16(&badUt[kLocalHeaderSize + 8 + 2], 40);
    EXPECT_EQ(ReadCause(badUt), ZipCause::BadExtraField);

    std::vector<uint8_t> sized = OneEntry(text);  // compressed size runs into the directory
    WriteLe32(&sized[DirectoryAt(sized) + 20], 0x00FFFFFF);
    EXPECT_EQ(ReadCause(sized), ZipCause::BadLocalHeader);

    std::vector<uint8_t> method = OneEntry(text);
    WriteLe16(&method[DirectoryAt(method) + 10], 12);  // bzip2
    EXPECT_EQ(ReadCause(method), ZipCause::UnsupportedMethod);

    std::vector<uint8_t> encrypted = OneEntry(text);
    WriteLe16(&encrypted[DirectoryAt(encrypted) + 8], kFlagEncrypted);
    EXPECT_EQ(ReadCause(encrypted), ZipCause::Encrypted);
}
