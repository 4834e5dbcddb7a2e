#include <gtest/gtest.h>

#include "tests/unit/identify/bios_image.h"
#include "updater/identify/bios_scan.h"

namespace {

struct Mark {
    uint32_t address;
    std::string bytes;
};

struct Case {
    const char *name;
    std::vector<Mark> marks;
    const wchar_t *model;  // what the scan leaves in the model name
    bool maker;
    const char *board;     // expected board code, or null
};

using Scan = void (*)(PhysicalReader &, std::wstring &, BiosScanResult &);

// Runs `scan` over an image holding each case's bytes; `readsWhenFound`, when not 0,
// is the number of pages a scan that found the mark reads.
template <size_t N>
void RunCases(const Case (&cases)[N], Scan scan, unsigned readsWhenFound = 0) {
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage memory;
        for (const Mark &m : c.marks)
            memory.Put(m.address, m.bytes);
        std::wstring model;
        BiosScanResult result;
        scan(memory, model, result);
        EXPECT_EQ(c.model, model);
        EXPECT_EQ(c.maker, result.makerFound);
        if (c.board) {
            ASSERT_NE(nullptr, result.board);
            EXPECT_STREQ(c.board, result.board->code);
        } else {
            EXPECT_EQ(nullptr, result.board);
        }
        if (c.maker && readsWhenFound) {
            EXPECT_EQ(readsWhenFound, memory.Reads());
        }
    }
}

TEST(BiosScan, MidScanRules) {
    const Case cases[] = {
        {"mark alone", {{0xF2003, "PARVONI"}}, L"marbo MID", true, nullptr},
        {"mark at the tenth position", {{0xF2029, "PARVONI"}}, L"marbo MID", true, nullptr},
        {"mark beyond the tenth position", {{0xF202A, "PARVONI"}}, L"", false, nullptr},
        {"mark in a page's last paragraph", {{0xF2FF0, "PARVONI"}}, L"", false, nullptr},
        {"mark below the scanned pages", {{0xF0100, "PARVONI"}}, L"", false, nullptr},
        {"lower-case mark", {{0xF2000, "parvoni"}}, L"", false, nullptr},
        {"code alone", {{0xF3020, "9HK4_A1"}}, L"marbo K4", false, "9HK4_"},
        {"code off a paragraph start", {{0xF3021, "9HK4_A1"}}, L"", false, nullptr},
        {"code in the last page", {{0xFF000, "9hp3x"}}, L"marbo P3 PRO", false, "9HP3X"},
        {"mark, then code", {{0xF1010, "PARVONI"}, {0xF4000, "9HW3_"}}, L"marbo W30 EX", true, "9HW3_"},
        {"code, then mark at a later page's start",
         {{0xF3020, "9HK12"}, {0xF6000, "PARVONI"}}, L"marbo K12", true, "9HK12"},
        {"code, then mark inside a later page",
         {{0xF3020, "9HK12"}, {0xF6010, "PARVONI"}}, L"marbo K12", false, "9HK12"},
        {"code, then mark later in the same page",
         {{0xF3020, "9HK12"}, {0xF3040, "PARVONI"}}, L"marbo K12", false, "9HK12"},
        {"a later page's code replaces the first",
         {{0xF3020, "9HD6"}, {0xF5000, "9HP3E"}}, L"marbo P3 PREMIUM", false, "9HP3E"},
        {"a later code inside a page is not seen",
         {{0xF3020, "9HD6"}, {0xF5010, "9HP3E"}}, L"marbo K2", false, "9HD6"},
    };
    RunCases(cases, ScanMidBiosArea);
}

TEST(BiosScan, MidScanStopsOnceMarkAndCodeAreKnown) {
    MemoryImage memory;
    memory.Put(0xF1000, std::string("9HK4_"));
    memory.Put(0xF2000, std::string("PARVONI"));
    memory.Put(0xF3000, std::string("9HD6"));  // never reached
    std::wstring model = L"left by an earlier source";
    BiosScanResult result;
    ScanMidBiosArea(memory, model, result);
    EXPECT_EQ(L"marbo K4", model);
    EXPECT_EQ(2u, memory.Reads());
    EXPECT_EQ(0xF2000u, result.makerAddress);
    EXPECT_EQ(0xF1000u, result.boardAddress);

    MemoryImage nothing;
    model = L"kept";
    ScanMidBiosArea(nothing, model, result = {});
    EXPECT_EQ(L"kept", model);
    EXPECT_EQ(15u, nothing.Reads());
}

TEST(BiosScan, CmpcScanLooksAtParagraphStartsOnly) {
    const Case cases[] = {
        {"mark at a paragraph start", {{0xF7010, "PARVONI"}}, L"marbo CMPC", true, nullptr},
        {"mark off a paragraph start", {{0xF7011, "PARVONI"}}, L"", false, nullptr},
        {"board codes mean nothing", {{0xF7000, "9HK4_"}}, L"", false, nullptr},
    };
    // The scan ends after the page that held the mark (page 7 of 15).
    RunCases(cases, ScanCmpcBiosArea, 7);
}

// A reader that fails on some pages: such a page holds nothing, not the bytes of the
// page read before it.
TEST(BiosScan, UnreadablePageReadsAsZeros) {
    class Failing : public MemoryImage {
    public:
        void Seek(uint32_t address) override {
            m_at = address;
            MemoryImage::Seek(address);
        }
        uint32_t Read(void *buffer, uint32_t count) override {
            return m_at == 0xF2000 ? 0 : MemoryImage::Read(buffer, count);
        }
    private:
        uint32_t m_at = 0;
    } memory;
    memory.Put(0xF1000, std::string("9HK4_"));
    memory.Put(0xF2000, std::string("PARVONI"));
    memory.Put(0xF3000, std::string("9HD6"));
    std::wstring model;
    BiosScanResult result;
    ScanMidBiosArea(memory, model, result);
    EXPECT_FALSE(result.makerFound);
    // Had page 0xF2000 been taken for 0xF1000 again, its code would have ended the
    // look at it; 0xF3000's code is seen because the scan went on.
    EXPECT_EQ(L"marbo K2", model);
    EXPECT_EQ(0xF3000u, result.boardAddress);
}

}  // namespace
