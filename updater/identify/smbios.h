#ifndef UPDATER_IDENTIFY_SMBIOS_H
#define UPDATER_IDENTIFY_SMBIOS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "updater/identify/physical_reader.h"

// The four strings of the SMBIOS System Information structure (type 1), as the
// firmware's bytes (system code page); empty when not found.
struct SmbiosSystemStrings {
    std::string manufacturer;
    std::string productName;
    std::string version;
    std::string serialNumber;
};

// What the BIOS-area scan saw of the entry points, for the support tool.
struct SmbiosEntryPoint {
    uint32_t offset = 0;       // from 0xF0000
    bool legacy = false;       // "_DMI_" without "_SM_"
    int major = 0, minor = 0;  // after the 2.31 -> 2.3 and 2.51 -> 2.6 rules
    uint32_t tableAddress = 0;
    uint16_t tableLength = 0;
    uint16_t structureCount = 0;
};

struct SmbiosMemoryResult {
    SmbiosSystemStrings strings;
    std::vector<SmbiosEntryPoint> entryPoints;  // the valid ones, in scan order
};

constexpr uint32_t kBiosAreaAddress = 0xF0000;
constexpr uint32_t kBiosAreaSize = 0x10000;

// Finds the entry points in a 64 KiB image of the BIOS area (0xF0000-0xFFFFF) and
// decodes the structure table each valid one names, read through `memory`; a later
// valid entry point's strings replace an earlier one's. Strings are looked up with the
// memory route's rules ("Not Specified", "<BAD INDEX>", control bytes as ".").
void ScanBiosAreaForSmbios(const uint8_t *area, size_t size, PhysicalReader &memory,
                           SmbiosMemoryResult &result);

// Reads the 64 KiB BIOS area through `memory` and scans it; false when it cannot be read.
bool ReadSmbiosFromMemory(PhysicalReader &memory, SmbiosMemoryResult &result);

// Walks a structure table of `length` bytes (memory route): at most `count`
// structures; every type 1 structure found sets the strings.
void DecodeStructureTable(const uint8_t *table, size_t length, unsigned count,
                          SmbiosSystemStrings &strings);

// Decodes the firmware-table interface's raw SMBIOS data (8-byte header, then the
// structures): the first type 1 structure's strings when the version is at least 2.1,
// without substitutions. The header's version is returned through major and minor.
void DecodeRawSmbiosTable(const std::vector<uint8_t> &raw, SmbiosSystemStrings &strings,
                          int *major = nullptr, int *minor = nullptr);

#endif
