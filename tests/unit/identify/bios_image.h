#ifndef TESTS_UNIT_IDENTIFY_BIOS_IMAGE_H
#define TESTS_UNIT_IDENTIFY_BIOS_IMAGE_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "updater/identify/physical_reader.h"

// The first MiB of a machine's physical memory, built byte by byte by a test. Reads
// beyond it fail as a reader that cannot reach the address would.
class MemoryImage : public PhysicalReader {
public:
    MemoryImage() : m_bytes(0x100000, 0) {}

    void Seek(uint32_t address) override { m_position = address; }
    uint32_t Read(void *buffer, uint32_t count) override {
        ++m_reads;
        if (m_position > m_bytes.size() || m_bytes.size() - m_position < count)
            return 0;
        std::memcpy(buffer, m_bytes.data() + m_position, count);
        m_position += count;
        return count;
    }

    void Put(uint32_t address, const std::vector<uint8_t> &bytes) {
        std::memcpy(m_bytes.data() + address, bytes.data(), bytes.size());
    }
    void Put(uint32_t address, const std::string &text) {
        std::memcpy(m_bytes.data() + address, text.data(), text.size());
    }
    unsigned Reads() const { return m_reads; }

private:
    std::vector<uint8_t> m_bytes;
    uint32_t m_position = 0;
    unsigned m_reads = 0;
};

inline void PutWord(std::vector<uint8_t> &b, size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
inline void PutDWord(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}
// Sets b[at] so that the `n` bytes from `from` add up to zero.
inline void FixSum(std::vector<uint8_t> &b, size_t from, size_t n, size_t at) {
    b[at] = 0;
    uint8_t sum = 0;
    for (size_t i = from; i < from + n; ++i)
        sum = static_cast<uint8_t>(sum + b[i]);
    b[at] = static_cast<uint8_t>(-sum);
}

// A 32-byte "_SM_" entry point with its "_DMI_" part, both checksums right.
inline std::vector<uint8_t> SmEntryPoint(uint32_t table, uint16_t length, uint16_t count,
                                         uint8_t major = 2, uint8_t minor = 4) {
    std::vector<uint8_t> e(32, 0);
    std::memcpy(e.data(), "_SM_", 4);
    e[5] = 0x1F;
    e[6] = major;
    e[7] = minor;
    std::memcpy(e.data() + 16, "_DMI_", 5);
    PutWord(e, 22, length);
    PutDWord(e, 24, table);
    PutWord(e, 28, count);
    FixSum(e, 16, 15, 21);
    FixSum(e, 0, 0x1F, 4);
    return e;
}

// A 16-byte legacy "_DMI_" entry point.
inline std::vector<uint8_t> LegacyEntryPoint(uint32_t table, uint16_t length, uint16_t count,
                                             uint8_t bcdVersion = 0x21) {
    std::vector<uint8_t> e(16, 0);
    std::memcpy(e.data(), "_DMI_", 5);
    PutWord(e, 6, length);
    PutDWord(e, 8, table);
    PutWord(e, 12, count);
    e[14] = bcdVersion;
    FixSum(e, 0, 15, 5);
    return e;
}

// One structure: formatted area of `formatted` bytes (type, length, handle, then
// `fields`), then the strings, each zero-terminated, then the closing zero.
inline std::vector<uint8_t> Structure(uint8_t type, uint8_t formatted,
                                      const std::vector<uint8_t> &fields,
                                      const std::vector<std::string> &strings) {
    std::vector<uint8_t> s(formatted < 4 ? 4 : formatted, 0);
    s[0] = type;
    s[1] = formatted;
    for (size_t i = 0; i < fields.size() && 4 + i < s.size(); ++i)
        s[4 + i] = fields[i];
    for (const std::string &text : strings) {
        s.insert(s.end(), text.begin(), text.end());
        s.push_back(0);
    }
    if (strings.empty())
        s.push_back(0);
    s.push_back(0);
    return s;
}

// A type 1 structure naming strings 1-4 as manufacturer, product, version, serial.
inline std::vector<uint8_t> SystemInformation(const std::string &maker, const std::string &product,
                                              const std::string &version, const std::string &serial) {
    return Structure(1, 0x1B, {1, 2, 3, 4}, {maker, product, version, serial});
}

inline std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

#endif
