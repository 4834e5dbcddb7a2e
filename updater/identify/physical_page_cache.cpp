#include "updater/identify/physical_page_cache.h"

#include <algorithm>
#include <cstring>
#include <new>

void CPhysicalPageCache::Seek(uint32_t address) {
    if (!m_page)
        return;
    m_position = address;
    if (address / kPageSize == m_cachedPage)
        return;
    m_cachedPage = address / kPageSize;
    if (!LoadPage(address, m_page.get()))
        std::memset(m_page.get(), 0, kPageSize);
}

uint32_t CPhysicalPageCache::Read(void *buffer, uint32_t count) {
    if (!m_page)
        return 0;
    auto *out = static_cast<unsigned char *>(buffer);
    uint32_t done = 0;
    while (done < count) {
        if (m_position / kPageSize != m_cachedPage)
            Seek(m_position);
        const uint32_t offset = m_position % kPageSize;
        const uint32_t chunk = std::min(kPageSize - offset, count - done);
        std::memcpy(out + done, m_page.get() + offset, chunk);
        done += chunk;
        m_position += chunk;
    }
    return count;
}

bool CPhysicalPageCache::CreatePageBuffer() {
    DropPageBuffer();
    m_page.reset(new (std::nothrow) unsigned char[kPageSize]());
    return m_page != nullptr;
}

void CPhysicalPageCache::DropPageBuffer() {
    m_page.reset();
    m_cachedPage = kNoPage;
    m_position = 0;
}
