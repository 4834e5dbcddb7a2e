#include "updater/identify/identification_sources_win.h"

#include <windows.h>

#include "updater/identify/adapter_address_win.h"
#include "updater/identify/management_text_win.h"
#include "updater/identify/physical_memory_win.h"
#include "updater/identify/system_information_win.h"

SystemIdentificationSources::SystemIdentificationSources() = default;
SystemIdentificationSources::~SystemIdentificationSources() = default;

PhysicalReader *SystemIdentificationSources::OpenMemory() {
    m_memory.reset(new CPhysicalMemory());
    if (m_memory->Open())
        return m_memory.get();
    m_memory.reset();
    return nullptr;
}

void SystemIdentificationSources::CloseMemory() {
    if (m_memory)
        m_memory->Close();
    m_memory.reset();
}

bool SystemIdentificationSources::ReadMemoryTexts(PhysicalReader &memory, SystemTexts &texts) {
    return ReadSystemInformationFromMemory(texts, memory);
}

bool SystemIdentificationSources::ReadFirmwareTexts(SystemTexts &texts) {
    return ReadSystemInformationFromFirmware(texts);
}

int SystemIdentificationSources::QueryManagementText(std::wstring &text, uint32_t timeLimitMs) {
    return ::QueryManagementText(text, nullptr, timeLimitMs);
}

bool SystemIdentificationSources::GetAdapterAddress(std::wstring &text, const std::wstring &prefix) {
    return ::GetAdapterAddress(text, prefix);
}

uint32_t SystemIdentificationSources::TickCount() { return GetTickCount(); }

void SystemIdentificationSources::Wait(uint32_t milliseconds) { Sleep(milliseconds); }
