#include <gtest/gtest.h>

#include "tests/unit/identify/bios_image.h"
#include "updater/identify/smbios.h"

namespace {

const uint32_t kTable = 0x9F000;
const std::vector<uint8_t> kBiosStructure = Structure(0, 0x12, {1, 2}, {"Vendor", "1.0"});
const std::vector<uint8_t> kK4 =
    SystemInformation("PVMF_Parvoni", "PVMD_K4 EX", "Rev 2", "PVSN_9HK40001");

SmbiosMemoryResult Scan(MemoryImage &memory) {
    SmbiosMemoryResult result;
    EXPECT_TRUE(ReadSmbiosFromMemory(memory, result));
    return result;
}

std::vector<std::string> Texts(const SmbiosSystemStrings &s) {
    return {s.manufacturer, s.productName, s.version, s.serialNumber};
}

TEST(SmbiosMemoryRoute, EntryPointsAndTheirTables) {
    struct Case {
        const char *name;
        std::vector<uint8_t> entry;  // at 0xF0100
        std::vector<uint8_t> table;  // at kTable
        std::vector<std::string> expected;
        size_t entryPoints;
    };
    const auto table = Concat({kBiosStructure, kK4});
    const uint16_t len = static_cast<uint16_t>(table.size());
    auto badSm = SmEntryPoint(kTable, len, 2);
    badSm[4] ^= 1;
    auto badDmi = SmEntryPoint(kTable, len, 2);
    badDmi[21] ^= 1;
    badDmi[4] ^= 1;  // the outer sum still holds, the inner one does not
    auto badLegacy = LegacyEntryPoint(kTable, len, 2);
    badLegacy[5] ^= 1;
    const std::vector<std::string> none = {"", "", "", ""};
    const std::vector<std::string> k4 = {"PVMF_Parvoni", "PVMD_K4 EX", "Rev 2", "PVSN_9HK40001"};
    const std::vector<Case> cases = {
        {"valid _SM_", SmEntryPoint(kTable, len, 2), table, k4, 1},
        {"legacy _DMI_", LegacyEntryPoint(kTable, len, 2), table, k4, 1},
        {"wrong _SM_ sum: the next paragraph is a legacy entry point", badSm, table, k4, 1},
        {"right _SM_ sum, wrong _DMI_ sum", badDmi, table, none, 0},
        {"wrong legacy sum", badLegacy, table, none, 0},
        {"count smaller than the table", SmEntryPoint(kTable, len, 1), table, none, 1},
        {"table beyond readable memory", SmEntryPoint(0xFFFFF000u, len, 2), table, none, 1},
        {"formatted length 7",
         SmEntryPoint(kTable, 0, 1),
         Structure(1, 7, {1, 2, 3}, {"A", "B", "C"}), none, 1},
        {"formatted length below 4 ends the walk", SmEntryPoint(kTable, 0, 3),
         Concat({Structure(2, 3, {}, {}), kK4}), none, 1},
        {"unterminated string set", SmEntryPoint(kTable, 0, 1),
         std::vector<uint8_t>(kK4.begin(), kK4.end() - 1), none, 1},
        {"string numbers 0 and beyond the set", SmEntryPoint(kTable, 0, 1),
         Structure(1, 8, {0, 1, 2, 9}, {"Maker"}),
         {"Not Specified", "Maker", "<BAD INDEX>", "<BAD INDEX>"}, 1},
        {"control bytes", SmEntryPoint(kTable, 0, 1),
         SystemInformation("A\tB", "C\x7f" "D", "\x1f", "\x80x"),
         {"A.B", "C.D", ".", "\x80x"}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage memory;
        std::vector<uint8_t> entry = c.entry;
        if (entry.size() == 32 && entry[22] == 0 && entry[23] == 0) {
            // Length left open: the table's own size.
            PutWord(entry, 22, static_cast<uint16_t>(c.table.size()));
            FixSum(entry, 16, 15, 21);
            FixSum(entry, 0, 0x1F, 4);
        }
        memory.Put(0xF0100, entry);
        memory.Put(kTable, c.table);
        SmbiosMemoryResult result = Scan(memory);
        EXPECT_EQ(c.expected, Texts(result.strings));
        EXPECT_EQ(c.entryPoints, result.entryPoints.size());
    }
}

TEST(SmbiosMemoryRoute, LaterEntryPointWinsAndVersionsAreNormalised) {
    MemoryImage memory;
    const auto first = SystemInformation("First", "P1", "V1", "S1");
    const auto second = SystemInformation("Second", "P2", "V2", "S2");
    memory.Put(kTable, first);
    memory.Put(kTable + 0x400, second);
    memory.Put(0xF0000, SmEntryPoint(kTable, static_cast<uint16_t>(first.size()), 1, 2, 31));
    memory.Put(0xFFF00, SmEntryPoint(kTable + 0x400, static_cast<uint16_t>(second.size()), 1, 2, 51));
    memory.Put(0xF8000, LegacyEntryPoint(kTable, static_cast<uint16_t>(first.size()), 1, 0x23));
    // "_SM_" this close to the end has no room for its "_DMI_" part: not an entry point.
    memory.Put(0xFFFF0, std::string("_SM_"));

    SmbiosMemoryResult result = Scan(memory);
    EXPECT_EQ("Second", result.strings.manufacturer);
    EXPECT_EQ("S2", result.strings.serialNumber);
    // The "_DMI_" half of each "_SM_" entry point is not counted again as a legacy one.
    ASSERT_EQ(3u, result.entryPoints.size());
    EXPECT_EQ(3, result.entryPoints[0].minor);
    EXPECT_TRUE(result.entryPoints[1].legacy);
    EXPECT_EQ(2, result.entryPoints[1].major);
    EXPECT_EQ(3, result.entryPoints[1].minor);
    EXPECT_EQ(6, result.entryPoints[2].minor);
    EXPECT_EQ(0xFFF00u - 0xF0000u, result.entryPoints[2].offset);
}

TEST(SmbiosMemoryRoute, UnreadableAreaFailsAndEmptyAreaSucceeds) {
    class Unreadable : public PhysicalReader {
        void Seek(uint32_t) override {}
        uint32_t Read(void *, uint32_t) override { return 0; }
    } unreadable;
    SmbiosMemoryResult result;
    result.strings.manufacturer = "stale";
    EXPECT_FALSE(ReadSmbiosFromMemory(unreadable, result));
    EXPECT_EQ("", result.strings.manufacturer);

    MemoryImage empty;
    EXPECT_TRUE(ReadSmbiosFromMemory(empty, result));
    EXPECT_TRUE(result.entryPoints.empty());
}

std::vector<uint8_t> Raw(uint8_t major, uint8_t minor, const std::vector<uint8_t> &table) {
    std::vector<uint8_t> raw = {0, major, minor, 0, 0, 0, 0, 0};
    PutDWord(raw, 4, static_cast<uint32_t>(table.size()));
    raw.insert(raw.end(), table.begin(), table.end());
    return raw;
}

TEST(SmbiosFirmwareRoute, HeaderVersionAndStringRules) {
    struct Case {
        const char *name;
        std::vector<uint8_t> raw;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> none = {"", "", "", ""};
    const std::vector<std::string> k4 = {"PVMF_Parvoni", "PVMD_K4 EX", "Rev 2", "PVSN_9HK40001"};
    const auto table = Concat({kBiosStructure, kK4});
    auto unclosed = table;
    unclosed.pop_back();
    const std::vector<Case> cases = {
        {"2.4", Raw(2, 4, table), k4},
        {"2.1", Raw(2, 1, table), k4},
        {"2.0", Raw(2, 0, table), none},
        {"3.0", Raw(3, 0, table), k4},
        {"3.4", Raw(3, 4, table), k4},
        {"1.9", Raw(1, 9, table), none},
        {"0.5", Raw(0, 5, table), none},
        {"no type 1", Raw(2, 4, kBiosStructure), none},
        {"header only", Raw(2, 4, {}), none},
        {"shorter than the header", {0, 2, 4}, none},
        {"last set lacks its closing zero", Raw(2, 4, unclosed), k4},
        {"formatted length 7", Raw(2, 4, Structure(1, 7, {1, 2, 3}, {"A", "B", "C"})), none},
        {"numbers 0 and beyond the set, control bytes kept",
         Raw(2, 6, Structure(1, 8, {0, 1, 2, 3}, {"A\tB", "C"})), {"", "A\tB", "C", ""}},
        {"only the first type 1 counts",
         Raw(2, 4, Concat({kK4, SystemInformation("Other", "X", "Y", "Z")})), k4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SmbiosSystemStrings strings;
        strings.productName = "stale";
        DecodeRawSmbiosTable(c.raw, strings);
        EXPECT_EQ(c.expected, Texts(strings));
    }
}

}  // namespace
