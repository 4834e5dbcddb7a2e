#ifndef UPDATER_IDENTIFY_PHYSICAL_PAGE_CACHE_H
#define UPDATER_IDENTIFY_PHYSICAL_PAGE_CACHE_H

#include <cstdint>
#include <memory>

#include "updater/identify/physical_reader.h"

// Byte reads of physical memory through a one-page cache: a page is loaded
// when a read first touches it, and reads within it cost no further loads.
// Subclasses say how a page is loaded (CPhysicalMemory: a section view or the
// memory driver).
class CPhysicalPageCache : public PhysicalReader {
public:
    static constexpr uint32_t kPageSize = 4096;

    // Moves to `address`, loading its page unless it is the cached one. Does
    // nothing while no page buffer exists.
    void Seek(uint32_t address) override;
    // Copies `count` bytes from the current address on, loading each page as
    // the reads reach it; returns `count`, or 0 while no page buffer exists.
    // The address wraps from 0xFFFFFFFF to 0.
    uint32_t Read(void *buffer, uint32_t count) override;

protected:
    // Allocates a zeroed page buffer with no page cached, at address 0.
    bool CreatePageBuffer();
    void DropPageBuffer();
    bool HasPageBuffer() const { return m_page != nullptr; }

    // Fills `page` (kPageSize bytes) with the page that holds `address`; false
    // when the page cannot be read, which leaves the buffer zeroed rather than
    // holding another page's bytes.
    virtual bool LoadPage(uint32_t address, unsigned char *page) = 0;

private:
    static constexpr uint32_t kNoPage = 0xFFFFFFFFu; // no address has this page number

    std::unique_ptr<unsigned char[]> m_page;
    uint32_t m_cachedPage = kNoPage;
    uint32_t m_position = 0;
};

#endif
