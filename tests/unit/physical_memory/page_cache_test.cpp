// The one-page cache under CPhysicalMemory, over a memory image whose byte at
// each address is known.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "updater/identify/physical_page_cache.h"

namespace {

uint8_t ByteAt(uint32_t address) { return static_cast<uint8_t>(address * 7 + (address >> 12)); }

class ImageReader : public CPhysicalPageCache {
public:
    bool Create() { return CreatePageBuffer(); }
    void Drop() { DropPageBuffer(); }

    std::vector<uint32_t> loads; // the address each load was asked for
    std::set<uint32_t> unreadablePages;

protected:
    bool LoadPage(uint32_t address, unsigned char *page) override {
        loads.push_back(address);
        if (unreadablePages.count(address / kPageSize)) {
            for (uint32_t i = 0; i < kPageSize; ++i)
                page[i] = 0xEE; // what a failed read may leave behind
            return false;
        }
        const uint32_t base = address - address % kPageSize;
        for (uint32_t i = 0; i < kPageSize; ++i)
            page[i] = ByteAt(base + i);
        return true;
    }
};

void ExpectImageBytes(const std::vector<uint8_t> &bytes, uint32_t from) {
    for (size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(ByteAt(from + static_cast<uint32_t>(i)), bytes[i]) << "at +" << i;
}

} // namespace

TEST(PhysicalPageCache, NothingIsReadWithoutAPageBuffer) {
    ImageReader reader;
    uint8_t byte = 0x55;
    reader.Seek(0xF0000);
    EXPECT_EQ(0u, reader.Read(&byte, 1));
    EXPECT_EQ(0x55, byte);
    ASSERT_TRUE(reader.Create());
    reader.Drop();
    EXPECT_EQ(0u, reader.Read(&byte, 1));
    EXPECT_TRUE(reader.loads.empty());
}

TEST(PhysicalPageCache, LoadsEachPageOnceAsReadsReachIt) {
    ImageReader reader;
    ASSERT_TRUE(reader.Create());

    // A read from address 0 after creation loads page 0.
    std::vector<uint8_t> bytes(16);
    ASSERT_EQ(16u, reader.Read(bytes.data(), 16));
    ExpectImageBytes(bytes, 0);
    EXPECT_EQ(std::vector<uint32_t>({0}), reader.loads);

    // The BIOS area in one read: one load per page, at the page's first address.
    reader.loads.clear();
    bytes.assign(0x10000, 0);
    reader.Seek(0xF0000);
    ASSERT_EQ(0x10000u, reader.Read(bytes.data(), 0x10000));
    ExpectImageBytes(bytes, 0xF0000);
    ASSERT_EQ(16u, reader.loads.size());
    EXPECT_EQ(0xF0000u, reader.loads.front());
    EXPECT_EQ(0xFF000u, reader.loads.back());

    // Seeks and reads within the cached page cost nothing; the next page is
    // loaded when a read crosses into it, asked for by the seek's address.
    reader.loads.clear();
    reader.Seek(0xFF123);
    bytes.assign(4, 0);
    reader.Read(bytes.data(), 4);
    ExpectImageBytes(bytes, 0xFF123);
    EXPECT_TRUE(reader.loads.empty());
    reader.Seek(0x3FFF0FF8);
    bytes.assign(0x10, 0);
    reader.Read(bytes.data(), 0x10);
    ExpectImageBytes(bytes, 0x3FFF0FF8);
    EXPECT_EQ(std::vector<uint32_t>({0x3FFF0FF8, 0x3FFF1000}), reader.loads);

    // Creating the buffer again forgets the cached page.
    reader.loads.clear();
    ASSERT_TRUE(reader.Create());
    reader.Seek(0x3FFF1000);
    EXPECT_EQ(std::vector<uint32_t>({0x3FFF1000}), reader.loads);
}

TEST(PhysicalPageCache, AnUnreadablePageReadsAsZerosNotAsAnotherPage) {
    ImageReader reader;
    ASSERT_TRUE(reader.Create());
    reader.unreadablePages = {0xF1};
    std::vector<uint8_t> bytes(0x2000);
    reader.Seek(0xF0800);
    reader.Read(bytes.data(), 0x2000);
    ExpectImageBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 0x800), 0xF0800);
    for (size_t i = 0x800; i < 0x1800; ++i)
        ASSERT_EQ(0, bytes[i]) << "at +" << i;
    ExpectImageBytes(std::vector<uint8_t>(bytes.begin() + 0x1800, bytes.end()), 0xF2000);
}

TEST(PhysicalPageCache, TheAddressWrapsAtFourGiB) {
    ImageReader reader;
    ASSERT_TRUE(reader.Create());
    std::vector<uint8_t> bytes(8);
    reader.Seek(0xFFFFFFFC);
    ASSERT_EQ(8u, reader.Read(bytes.data(), 8));
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(ByteAt(0xFFFFFFFCu + i), bytes[i]);
    EXPECT_EQ(std::vector<uint32_t>({0xFFFFFFFC, 0}), reader.loads);
}
