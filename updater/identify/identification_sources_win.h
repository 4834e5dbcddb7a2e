#ifndef UPDATER_IDENTIFY_IDENTIFICATION_SOURCES_WIN_H
#define UPDATER_IDENTIFY_IDENTIFICATION_SOURCES_WIN_H

#include <memory>

#include "updater/identify/device_identification.h"

class CPhysicalMemory;

// The running machine as identification sees it: physical memory, the firmware
// table, WMI and the network adapters.
class SystemIdentificationSources : public IdentificationSources {
public:
    SystemIdentificationSources();
    ~SystemIdentificationSources() override;

    PhysicalReader *OpenMemory() override;
    void CloseMemory() override;
    bool ReadMemoryTexts(PhysicalReader &memory, SystemTexts &texts) override;
    bool ReadFirmwareTexts(SystemTexts &texts) override;
    int QueryManagementText(std::wstring &text, uint32_t timeLimitMs) override;
    bool GetAdapterAddress(std::wstring &text, const std::wstring &prefix) override;
    uint32_t TickCount() override;
    void Wait(uint32_t milliseconds) override;

private:
    std::unique_ptr<CPhysicalMemory> m_memory;
};

#endif
