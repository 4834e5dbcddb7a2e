#ifndef UPDATER_IDENTIFY_BIOS_SCAN_H
#define UPDATER_IDENTIFY_BIOS_SCAN_H

#include <cstdint>
#include <string>

#include "updater/identify/model_tables.h"
#include "updater/identify/physical_reader.h"

// The maker leaves its mark ("PARVONI") and a board code in the BIOS area; these scans
// read the 15 pages from 0xF1000 to 0xFFFFF through a physical-memory reader.

struct BiosScanResult {
    bool makerFound = false;
    uint32_t makerAddress = 0;
    const BoardCode *board = nullptr;  // the last board code the scan took
    uint32_t boardAddress = 0;
};

constexpr uint32_t kScanFirstPage = 0xF1000;
constexpr unsigned kScanPageCount = 15;
constexpr uint32_t kPageSize = 4096;

// MID devices: the maker mark at any of ten positions from each paragraph, a board
// code at a paragraph's start. `modelName` becomes "marbo MID" on the mark (until a
// board code is known) and the board code's model on a code.
void ScanMidBiosArea(PhysicalReader &memory, std::wstring &modelName, BiosScanResult &result);

// CMPC devices: the maker mark at a paragraph's start makes the model "marbo CMPC".
void ScanCmpcBiosArea(PhysicalReader &memory, std::wstring &modelName, BiosScanResult &result);

#endif
