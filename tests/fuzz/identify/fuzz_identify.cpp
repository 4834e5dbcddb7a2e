// The firmware's bytes are the device's to choose: the structure-table walks, the
// entry-point scan and the BIOS-area scans must stay inside what they are given.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "updater/identify/bios_scan.h"
#include "updater/identify/smbios.h"

namespace {

// Physical memory made of the input, repeated over the whole address space.
class RepeatedBytes : public PhysicalReader {
public:
    RepeatedBytes(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    void Seek(uint32_t address) override { m_at = address; }
    uint32_t Read(void *buffer, uint32_t count) override {
        auto *out = static_cast<uint8_t *>(buffer);
        for (uint32_t done = 0; done < count;) {
            const size_t from = m_at % m_size;
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(m_size - from, count - done));
            std::memcpy(out + done, m_data + from, n);
            done += n;
            m_at += n;
        }
        return count;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    uint32_t m_at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    // Exact-size copies so that the sanitizer sees any read past the end.
    std::vector<uint8_t> table(data, data + size);
    SmbiosSystemStrings strings;
    DecodeStructureTable(table.data(), table.size(), 0xFFFF, strings);
    DecodeRawSmbiosTable(table, strings);

    RepeatedBytes memory(data, size);
    SmbiosMemoryResult result;
    ReadSmbiosFromMemory(memory, result);
    std::wstring model;
    BiosScanResult scan;
    ScanMidBiosArea(memory, model, scan);
    ScanCmpcBiosArea(memory, model, scan);
    return 0;
}
