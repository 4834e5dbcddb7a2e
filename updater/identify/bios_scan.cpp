#include "updater/identify/bios_scan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const size_t kMarkLength = 7;  // "PARVONI"
const unsigned kMarkPositions = 10;
const uint32_t kLastOffset = kPageSize - 16;  // offsets below this are examined

// A page that cannot be read is scanned as zeros: the bytes of the page before it
// are not at this address, and a mark or code in them must not count twice.
template <typename ScanPage>
void ForEachPage(PhysicalReader &memory, ScanPage scanPage) {
    std::vector<uint8_t> page(kPageSize, 0);
    for (unsigned i = 0; i < kScanPageCount; ++i) {
        const uint32_t base = kScanFirstPage + i * kPageSize;
        memory.Seek(base);
        if (memory.Read(page.data(), kPageSize) != kPageSize)
            std::fill(page.begin(), page.end(), 0);
        if (!scanPage(page.data(), base))
            return;
    }
}

bool MarkAt(const uint8_t *p) { return std::memcmp(p, kMakerMark, kMarkLength) == 0; }

}  // namespace

void ScanMidBiosArea(PhysicalReader &memory, std::wstring &modelName, BiosScanResult &result) {
    ForEachPage(memory, [&](const uint8_t *page, uint32_t base) {
        for (uint32_t offset = 0; offset < kLastOffset; offset += 16) {
            bool mark = false;
            for (unsigned k = 0; k < kMarkPositions && !mark; ++k) {
                if (MarkAt(page + offset + k)) {
                    mark = true;
                    result.makerAddress = base + offset + k;
                }
            }
            if (mark) {
                result.makerFound = true;
                if (!result.board)
                    modelName = kGenericMidModel;
                else
                    return false;
            } else if (const BoardCode *code = MatchBoardCode(page + offset, kPageSize - offset)) {
                modelName = code->modelName;
                result.board = code;
                result.boardAddress = base + offset;
                break;
            } else if (result.board) {
                // Once a board code is known, each further page is looked at only at its start.
                break;
            }
        }
        return !(result.makerFound && result.board);
    });
}

void ScanCmpcBiosArea(PhysicalReader &memory, std::wstring &modelName, BiosScanResult &result) {
    ForEachPage(memory, [&](const uint8_t *page, uint32_t base) {
        bool foundHere = false;
        for (uint32_t offset = 0; offset < kLastOffset; offset += 16) {
            if (MarkAt(page + offset)) {
                modelName = kGenericCmpcModel;
                result.makerFound = true;
                result.makerAddress = base + offset;
                foundHere = true;
            }
        }
        return !foundHere;
    });
}
