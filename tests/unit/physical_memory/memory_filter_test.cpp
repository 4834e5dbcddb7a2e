// The memory driver's page filter, over BIOS areas built here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/unit/identify/bios_image.h"
#include "updater/identify/driver/pmio_filter.h"

namespace {

// The BIOS area's bytes, with entry points built by the identification tests'
// helpers.
class BiosArea {
public:
    BiosArea() : m_bytes(PMIO_BIOS_AREA_SIZE) {}

    enum class Fault { None, EntryChecksum, DmiChecksum, NoDmiMark };

    void PutEntryPoint(uint32_t at, uint32_t table, uint16_t length, Fault fault = Fault::None) {
        std::vector<uint8_t> e = SmEntryPoint(table, length, 3);
        if (fault == Fault::EntryChecksum)
            ++e[4];
        if (fault == Fault::DmiChecksum)
            ++e[21];
        if (fault == Fault::NoDmiMark) {
            e[19] = 'X';
            FixSum(e, 16, 15, 21);
        }
        if (fault == Fault::DmiChecksum || fault == Fault::NoDmiMark)
            FixSum(e, 0, 0x1F, 4); // only the "_DMI_" part is wrong
        Put(at, e);
    }

    void PutLegacyEntryPoint(uint32_t at, uint32_t table, uint16_t length, bool badChecksum = false) {
        std::vector<uint8_t> e = LegacyEntryPoint(table, length, 3);
        if (badChecksum)
            ++e[5];
        Put(at, e);
    }

    const unsigned char *Data() const { return m_bytes.data(); }

private:
    void Put(uint32_t address, const std::vector<uint8_t> &bytes) {
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + (address - PMIO_BIOS_AREA_BASE));
    }

    std::vector<uint8_t> m_bytes;
};

struct FilterCase {
    std::string name;
    std::function<void(BiosArea &)> setup;
    std::vector<std::pair<uint32_t, bool>> addresses; // address, served
};

} // namespace

TEST(MemoryFilter, ServesTheBiosAreaAndTheTablesOfValidEntryPointsOnly) {
    using F = BiosArea::Fault;
    const std::vector<FilterCase> cases = {
        {"no entry point: the BIOS area alone",
         [](BiosArea &) {},
         {{0x00000000, false}, {0x000DF000, false}, {0x000DFFFF, false}, {0x000E0000, true},
          {0x000EFFFF, true}, {0x000F0000, true}, {0x000FFFFF, true}, {0x00100000, false},
          {0x7FFFF000, false}, {0xFFFFFFFF, false}}},
        {"a table across a page boundary",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0x3FFF0F00, 0x200); },
         {{0x3FFEFFFF, false}, {0x3FFF0000, true}, {0x3FFF0F00, true}, {0x3FFF1000, true},
          {0x3FFF1FFF, true}, {0x3FFF2000, false}}},
        {"a table that ends on a page end",
         [](BiosArea &a) { a.PutEntryPoint(0xFE000, 0x00007000, 0x1000); },
         {{0x00006FFF, false}, {0x00007000, true}, {0x00007FFF, true}, {0x00008000, false}}},
        {"a table inside the BIOS area names nothing more",
         [](BiosArea &a) { a.PutEntryPoint(0xF5A30, 0x000F5A50, 0x300); },
         {{0x000DFFFF, false}, {0x000F5000, true}, {0x00100000, false}}},
        {"an entry point in the lower half of the area",
         [](BiosArea &a) { a.PutEntryPoint(0xE0010, 0x20000000, 0x10); },
         {{0x20000000, true}, {0x20001000, false}, {0x1FFFF000, false}}},
        // The reader examines the next paragraph normally: the "_DMI_" part is
        // then a valid legacy entry point of its own.
        {"entry point checksum wrong, its _DMI_ part still valid",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0x3FFF0000, 0x200, F::EntryChecksum); },
         {{0x3FFF0000, true}, {0x3FFF1000, false}}},
        {"_DMI_ part checksum wrong",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0x3FFF0000, 0x200, F::DmiChecksum); },
         {{0x3FFF0000, false}}},
        {"_DMI_ mark missing",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0x3FFF0000, 0x200, F::NoDmiMark); },
         {{0x3FFF0000, false}}},
        {"not on a paragraph",
         [](BiosArea &a) { a.PutEntryPoint(0xF0008, 0x3FFF0000, 0x200); },
         {{0x3FFF0000, false}}},
        {"a legacy entry point",
         [](BiosArea &a) { a.PutLegacyEntryPoint(0xF8000, 0x10000000, 0x1001); },
         {{0x0FFFFFFF, false}, {0x10000000, true}, {0x10001000, true}, {0x10002000, false}}},
        {"a legacy entry point with a wrong checksum",
         [](BiosArea &a) { a.PutLegacyEntryPoint(0xF8000, 0x10000000, 0x100, true); },
         {{0x10000000, false}}},
        {"an entry point in the last two paragraphs",
         [](BiosArea &a) { a.PutEntryPoint(0xFFFE0, 0x30000000, 0x100); },
         {{0x30000000, true}}},
        {"a legacy entry point in the last paragraph fits",
         [](BiosArea &a) { a.PutLegacyEntryPoint(0xFFFF0, 0x30000000, 0x100); },
         {{0x30000000, true}}},
        {"an empty table",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0x3FFF0000, 0); },
         {{0x3FFF0000, false}}},
        {"a table running past 4 GiB ends at the last page",
         [](BiosArea &a) { a.PutEntryPoint(0xF0000, 0xFFFFF800, 0x1000); },
         {{0xFFFFF000, true}, {0xFFFFFFFF, true}, {0x00000000, false}, {0xFFFFE000, false}}},
        {"two valid entry points: both tables",
         [](BiosArea &a) {
             a.PutEntryPoint(0xF0000, 0x3FFF0000, 0x100);
             a.PutEntryPoint(0xF0100, 0x5FFF0000, 0x100);
         },
         {{0x3FFF0000, true}, {0x5FFF0000, true}, {0x4FFF0000, false}}},
        {"a valid entry point after an invalid one",
         [](BiosArea &a) {
             a.PutEntryPoint(0xF0000, 0x3FFF0000, 0x100, F::DmiChecksum);
             a.PutEntryPoint(0xF0010, 0x5FFF0000, 0x100);
         },
         {{0x3FFF0000, false}, {0x5FFF0000, true}}},
    };
    for (const FilterCase &c : cases) {
        BiosArea area;
        c.setup(area);
        for (const auto &[address, served] : c.addresses)
            EXPECT_EQ(served, pmio_page_allowed(area.Data(), PMIO_BIOS_AREA_SIZE, address) != 0)
                << c.name << ", address 0x" << std::hex << address;
    }
}

TEST(MemoryFilter, LooksOnlyAtTheBytesItIsGiven) {
    BiosArea area;
    area.PutEntryPoint(0xFFFC0, 0x30000000, 0x100);
    // The entry point lies beyond the first 0x1FFC0 bytes: not seen.
    EXPECT_FALSE(pmio_page_allowed(area.Data(), 0x1FFC0, 0x30000000));
    EXPECT_FALSE(pmio_page_allowed(area.Data(), 0x1FFD0, 0x30000000)); // cut short
    EXPECT_TRUE(pmio_page_allowed(area.Data(), 0x1FFE0, 0x30000000));
    EXPECT_TRUE(pmio_page_allowed(nullptr, 0, 0xF0000));
    EXPECT_FALSE(pmio_page_allowed(nullptr, 0, 0x30000000));
}
