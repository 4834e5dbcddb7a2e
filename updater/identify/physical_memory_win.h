#ifndef UPDATER_IDENTIFY_PHYSICAL_MEMORY_WIN_H
#define UPDATER_IDENTIFY_PHYSICAL_MEMORY_WIN_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/kernel_handle_win.h"
#include "updater/identify/physical_page_cache.h"

// Physical memory, read a page at a time through the kernel's section
// "\Device\PhysicalMemory" when this process may open it, otherwise through
// the memory driver pmio.sys, which is installed as the service "pmio" for
// as long as the object stays open.
class CPhysicalMemory : public CPhysicalPageCache {
public:
    enum class Route { None, Section, Driver };

    CPhysicalMemory() = default;
    ~CPhysicalMemory() override;
    CPhysicalMemory(const CPhysicalMemory &) = delete;
    CPhysicalMemory &operator=(const CPhysicalMemory &) = delete;

    // True when physical memory can be read; closes first.
    bool Open();
    // Closes the section or the device, removes the driver's service if this
    // object used the driver, and drops the page buffer.
    void Close();

    Route OpenedRoute() const;
    // Where the driver file was written; empty until the driver route is tried.
    const std::wstring &DriverFilePath() const { return m_driverFilePath; }

protected:
    bool LoadPage(uint32_t address, unsigned char *page) override;

private:
    bool OpenSection();
    bool OpenDriver();
    bool LoadPageFromSection(uint32_t address, unsigned char *page);

    CKernelHandle m_section;
    CKernelHandle m_driver;
    std::wstring m_driverFilePath;
};

#endif
