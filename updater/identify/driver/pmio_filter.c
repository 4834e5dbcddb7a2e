#include "pmio_filter.h"

#define PMIO_PAGE_SHIFT 12u

static unsigned char byte_sum(const unsigned char *p, uint32_t count) {
    unsigned char sum = 0;
    for (uint32_t i = 0; i < count; ++i)
        sum = (unsigned char)(sum + p[i]);
    return sum;
}

static int starts_with(const unsigned char *p, const char *mark, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        if (p[i] != (unsigned char)mark[i])
            return 0;
    return 1;
}

static uint32_t le16(const unsigned char *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }

static uint32_t le32(const unsigned char *p) {
    return le16(p) | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

/* Shifts only: the driver links no 64-bit division helpers. A table that runs
   past 4 GiB ends at the last 32-bit page. */
static int page_in_table(uint32_t page, uint32_t table, uint32_t length) {
    if (length == 0)
        return 0;
    uint32_t first = table >> PMIO_PAGE_SHIFT;
    uint32_t end = table + (length - 1);
    uint32_t last = end < table ? 0xFFFFFFFFu >> PMIO_PAGE_SHIFT : end >> PMIO_PAGE_SHIFT;
    return page >= first && page <= last;
}

int pmio_page_allowed(const unsigned char *area, uint32_t size, uint32_t address) {
    const uint32_t area_end = PMIO_BIOS_AREA_BASE + PMIO_BIOS_AREA_SIZE;
    if (address >= PMIO_BIOS_AREA_BASE && address < area_end)
        return 1;
    if (area == 0)
        return 0;
    if (size > PMIO_BIOS_AREA_SIZE)
        size = PMIO_BIOS_AREA_SIZE;
    const uint32_t page = address >> PMIO_PAGE_SHIFT;
    for (uint32_t off = 0; off + 16 <= size; off += 16) {
        const unsigned char *p = area + off;
        const uint32_t left = size - off;
        if (starts_with(p, "_SM_", 4)) {
            /* The whole entry point (its length in byte 5) and its 15-byte
               "_DMI_" part must both add up to zero. */
            const uint32_t length = p[5];
            if (left < 31 || left < length || byte_sum(p, length) != 0 ||
                !starts_with(p + 16, "_DMI_", 5) || byte_sum(p + 16, 15) != 0)
                continue;
            if (page_in_table(page, le32(p + 24), le16(p + 22)))
                return 1;
            off += 16; /* the "_DMI_" part is this entry point's own */
        } else if (starts_with(p, "_DMI_", 5)) {
            if (byte_sum(p, 15) == 0 && page_in_table(page, le32(p + 8), le16(p + 6)))
                return 1;
        }
    }
    return 0;
}
