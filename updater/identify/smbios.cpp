#include "updater/identify/smbios.h"

#include <cstring>

namespace {

const size_t kMaxText = 260;
const char kNotSpecified[] = "Not Specified";
const char kBadIndex[] = "<BAD INDEX>";

uint16_t Word(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t DWord(const uint8_t *p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

bool SumsToZero(const uint8_t *p, size_t n) {
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum = static_cast<uint8_t>(sum + p[i]);
    return sum == 0;
}

// One structure of a table: its formatted area and its string set, which ends at the
// first pair of zero bytes found before the table's end.
struct Structure {
    size_t start = 0;
    uint8_t type = 0;
    uint8_t formattedLength = 0;
    size_t stringsStart = 0;
    size_t next = 0;  // just after the string set's closing pair
};

// False when the walk ends here: too few bytes left, a formatted length below 4, or a
// string set that does not end inside the table.
bool NextStructure(const uint8_t *table, size_t length, size_t at, Structure &s) {
    if (at > length || length - at < 4)
        return false;
    s.start = at;
    s.type = table[at];
    s.formattedLength = table[at + 1];
    if (s.formattedLength < 4)
        return false;
    s.stringsStart = at + s.formattedLength;
    for (size_t i = s.stringsStart; i + 1 < length; ++i) {
        if (table[i] == 0 && table[i + 1] == 0) {
            s.next = i + 2;
            return true;
        }
    }
    return false;
}

std::string Limited(std::string text) {
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return text;
}

// The memory route's lookup: the set is known to end at a double zero.
std::string MemoryRouteString(const uint8_t *table, const Structure &s, uint8_t number) {
    if (number == 0)
        return kNotSpecified;
    const char *p = reinterpret_cast<const char *>(table + s.stringsStart);
    for (unsigned n = 1;; ++n) {
        size_t len = std::strlen(p);
        if (len == 0)
            return kBadIndex;
        if (n == number) {
            std::string text(p, len);
            for (char &c : text) {
                unsigned char b = static_cast<unsigned char>(c);
                if (b < 32 || b == 127)
                    c = '.';
            }
            return Limited(text);
        }
        p += len + 1;
    }
}

// The firmware route's lookup: number 0 or a number beyond the set gives nothing.
std::string RawRouteString(const uint8_t *table, const Structure &s, uint8_t number) {
    if (number == 0)
        return {};
    size_t at = s.stringsStart;
    for (unsigned n = 1; at < s.next - 1; ++n) {
        const char *p = reinterpret_cast<const char *>(table + at);
        size_t len = std::strlen(p);
        if (len == 0)
            return {};
        if (n == number)
            return Limited(std::string(p, len));
        at += len + 1;
    }
    return {};
}

template <typename Lookup>
void TakeSystemStrings(const uint8_t *table, const Structure &s, Lookup lookup,
                       SmbiosSystemStrings &strings) {
    const uint8_t *f = table + s.start;
    strings.manufacturer = lookup(table, s, f[4]);
    strings.productName = lookup(table, s, f[5]);
    strings.version = lookup(table, s, f[6]);
    strings.serialNumber = lookup(table, s, f[7]);
}

void DecodeTableAt(PhysicalReader &memory, const SmbiosEntryPoint &entry,
                   SmbiosSystemStrings &strings) {
    if (entry.tableLength == 0)
        return;
    std::vector<uint8_t> table(entry.tableLength);
    memory.Seek(entry.tableAddress);
    if (memory.Read(table.data(), entry.tableLength) != entry.tableLength)
        return;  // a table that cannot be read is skipped
    DecodeStructureTable(table.data(), table.size(), entry.structureCount, strings);
}

void NormaliseVersion(SmbiosEntryPoint &entry) {
    // Firmware of that time wrote the BCD-looking minors of 2.3 and 2.6 as 31 and 51.
    if (entry.major == 2 && entry.minor == 31)
        entry.minor = 3;
    else if (entry.major == 2 && entry.minor == 51)
        entry.minor = 6;
}

}  // namespace

void DecodeStructureTable(const uint8_t *table, size_t length, unsigned count,
                          SmbiosSystemStrings &strings) {
    Structure s;
    size_t at = 0;
    for (unsigned seen = 0; seen < count && NextStructure(table, length, at, s); ++seen) {
        if (s.type == 1 && s.formattedLength > 7)
            TakeSystemStrings(table, s, MemoryRouteString, strings);
        at = s.next;
    }
}

void ScanBiosAreaForSmbios(const uint8_t *area, size_t size, PhysicalReader &memory,
                           SmbiosMemoryResult &result) {
    for (size_t offset = 0; offset + 16 <= size; offset += 16) {
        const uint8_t *p = area + offset;
        SmbiosEntryPoint entry;
        entry.offset = static_cast<uint32_t>(offset);
        if (std::memcmp(p, "_SM_", 4) == 0 && offset + 32 <= size) {
            size_t length = p[5];
            bool valid = offset + length <= size && SumsToZero(p, length) &&
                         std::memcmp(p + 16, "_DMI_", 5) == 0 && SumsToZero(p + 16, 15);
            if (!valid)
                continue;
            entry.major = p[6];
            entry.minor = p[7];
            entry.tableLength = Word(p + 22);
            entry.tableAddress = DWord(p + 24);
            entry.structureCount = Word(p + 28);
            NormaliseVersion(entry);
            result.entryPoints.push_back(entry);
            DecodeTableAt(memory, entry, result.strings);
            offset += 16;  // the entry point's own "_DMI_" paragraph
        } else if (std::memcmp(p, "_DMI_", 5) == 0) {
            if (!SumsToZero(p, 15))
                continue;
            entry.legacy = true;
            entry.major = p[14] >> 4;
            entry.minor = p[14] & 0x0F;
            entry.tableLength = Word(p + 6);
            entry.tableAddress = DWord(p + 8);
            entry.structureCount = Word(p + 12);
            result.entryPoints.push_back(entry);
            DecodeTableAt(memory, entry, result.strings);
        }
    }
}

bool ReadSmbiosFromMemory(PhysicalReader &memory, SmbiosMemoryResult &result) {
    result = {};
    std::vector<uint8_t> area(kBiosAreaSize);
    memory.Seek(kBiosAreaAddress);
    if (memory.Read(area.data(), kBiosAreaSize) != kBiosAreaSize)
        return false;
    ScanBiosAreaForSmbios(area.data(), area.size(), memory, result);
    return true;
}

void DecodeRawSmbiosTable(const std::vector<uint8_t> &raw, SmbiosSystemStrings &strings,
                          int *major, int *minor) {
    strings = {};
    if (major)
        *major = 0;
    if (minor)
        *minor = 0;
    if (raw.size() < 8)
        return;
    const int rawMajor = raw[1], rawMinor = raw[2];
    if (major)
        *major = rawMajor;
    if (minor)
        *minor = rawMinor;
    // The structures move to the front; the freed tail is zeros, so a table whose last
    // string set lacks its closing pair still ends inside the walked length.
    std::vector<uint8_t> table(raw.begin() + 8, raw.end());
    table.resize(raw.size(), 0);

    Structure s;
    for (size_t at = 0; NextStructure(table.data(), table.size(), at, s); at = s.next) {
        if (s.type != 1)
            continue;
        // The version as a whole: 3.0 is above 2.1 though its minor is not.
        const bool fromVersion21 = rawMajor > 2 || (rawMajor == 2 && rawMinor >= 1);
        if (fromVersion21 && s.formattedLength > 7)
            TakeSystemStrings(table.data(), s, RawRouteString, strings);
        return;
    }
}
