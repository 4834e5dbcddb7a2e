// Feeds arbitrary BIOS areas to the memory driver's page filter, which runs
// in the kernel over whatever the firmware left there. Input: a 32-bit address
// (little-endian), then the area's bytes. The area lies in a buffer of exactly
// its size, so any read past it is reported.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "updater/identify/driver/pmio_filter.h"

namespace {

bool HoldsEntryPointMark(const unsigned char *area, size_t size) {
    for (size_t off = 0; off + 4 <= size; off += 16)
        if (std::memcmp(area + off, "_SM_", 4) == 0 ||
            (off + 5 <= size && std::memcmp(area + off, "_DMI_", 5) == 0))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t address = 0;
    std::memcpy(&address, data, 4);
    const size_t areaSize = size - 4;
    std::unique_ptr<unsigned char[]> area(new unsigned char[areaSize ? areaSize : 1]);
    std::memcpy(area.get(), data + 4, areaSize);

    const bool served = pmio_page_allowed(area.get(), static_cast<uint32_t>(areaSize), address);
    const bool inBiosArea = address >= PMIO_BIOS_AREA_BASE &&
                            address - PMIO_BIOS_AREA_BASE < PMIO_BIOS_AREA_SIZE;
    // The BIOS area is always served; any other page needs an entry point.
    if (inBiosArea && !served)
        std::abort();
    if (!inBiosArea && served && !HoldsEntryPointMark(area.get(), areaSize))
        std::abort();
    return 0;
}
