#ifndef UPDATER_IDENTIFY_SYSTEM_INFORMATION_WIN_H
#define UPDATER_IDENTIFY_SYSTEM_INFORMATION_WIN_H

#include <cstdint>
#include <vector>

#include "updater/identify/device_identification.h"
#include "updater/identify/smbios.h"

// The System Information texts through physical memory (an opened reader); false when
// the BIOS area could not be read. `details`, when given, receives the entry points.
bool ReadSystemInformationFromMemory(SystemTexts &texts, PhysicalReader &memory,
                                     SmbiosMemoryResult *details = nullptr);

// The same through GetSystemFirmwareTable (looked up at run time: XP has none); false
// when the function is absent or gives no table.
bool ReadSystemInformationFromFirmware(SystemTexts &texts, int *major = nullptr,
                                       int *minor = nullptr);

// The raw 'RSMB' table; false as above.
bool ReadRawFirmwareTable(std::vector<uint8_t> &raw);

// Firmware bytes as texts of at most 260 characters, from the system code page.
SystemTexts WidenSystemStrings(const SmbiosSystemStrings &strings);

#endif
