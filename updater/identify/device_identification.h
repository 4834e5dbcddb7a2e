#ifndef UPDATER_IDENTIFY_DEVICE_IDENTIFICATION_H
#define UPDATER_IDENTIFY_DEVICE_IDENTIFICATION_H

#include <cstdint>
#include <string>

#include "updater/identify/bios_scan.h"
#include "updater/identify/physical_reader.h"

// The four texts of the firmware's System Information structure.
struct SystemTexts {
    std::wstring manufacturer;
    std::wstring productName;
    std::wstring version;
    std::wstring serialNumber;
};

// Where identification learns about the device. The Win32 build reads physical
// memory, the firmware table, WMI and the adapter list; tests hand in devices of
// their own.
class IdentificationSources {
public:
    virtual ~IdentificationSources() = default;
    // Physical memory opened for this attempt, or null when it cannot be read. The
    // reader stays valid until CloseMemory.
    virtual PhysicalReader *OpenMemory() = 0;
    virtual void CloseMemory() = 0;
    // The System Information texts through the physical-memory route; false when the
    // BIOS area could not be read.
    virtual bool ReadMemoryTexts(PhysicalReader &memory, SystemTexts &texts) = 0;
    // The same through the operating system's firmware-table interface; false when the
    // table could not be obtained.
    virtual bool ReadFirmwareTexts(SystemTexts &texts) = 0;
    // Negative on failure or when no answer came within `timeLimitMs`, 1 when a
    // text was read, 0 when no object answered.
    virtual int QueryManagementText(std::wstring &text, uint32_t timeLimitMs) = 0;
    // The hardware address of the first adapter whose description begins with
    // `prefix`, as 12 upper-case hexadecimal digits; false when there is none.
    virtual bool GetAdapterAddress(std::wstring &text, const std::wstring &prefix) = 0;
    virtual uint32_t TickCount() = 0;
    virtual void Wait(uint32_t milliseconds) = 0;
};

// What one attempt found, and from which source, for start-up and the support tool.
struct Identification {
    bool identified = false;  // the result of the attempt
    std::wstring modelName;
    std::wstring modelSuffix;
    std::wstring serial;

    bool memoryOpened = false;
    bool systemTextsRead = false;
    SystemTexts systemTexts;
    BiosScanResult scan;
    bool managementAsked = false;
    int managementResult = -1;
    std::wstring managementText;
    unsigned managementAttempts = 0;
};

constexpr uint32_t kManagementTimeLimit = 20000;
constexpr uint32_t kManagementRetryDelay = 100;

// One identification attempt for `family` ("MID", "CMPC"; empty means "MID"). True
// when the device is one of the maker's of that family: a maker mark in the BIOS area,
// the firmware's texts, or the management instrumentation's text said so.
bool IdentifyDevice(const std::wstring &family, IdentificationSources &sources,
                    Identification &result);

// Start-up's order: "MID" first, "CMPC" only when "MID" did not identify the device.
// `family` receives the family that identified it, or stays empty.
bool IdentifyAnyFamily(IdentificationSources &sources, std::wstring &family,
                       Identification &result);

#endif
