#include "common/zip/zip_format.h"

namespace zip {

uint16_t ReadLe16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t ReadLe32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void WriteLe16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void WriteLe32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool DecodeLocalHeader(const uint8_t *b, LocalHeader &h) {
    if (ReadLe32(b) != kLocalHeaderSignature) return false;
    h.versionNeeded = ReadLe16(b + 4);
    h.flags = ReadLe16(b + 6);
    h.method = ReadLe16(b + 8);
    h.dosTime = ReadLe16(b + 10);
    h.dosDate = ReadLe16(b + 12);
    h.crc32 = ReadLe32(b + 14);
    h.compressedSize = ReadLe32(b + 18);
    h.uncompressedSize = ReadLe32(b + 22);
    h.nameLength = ReadLe16(b + 26);
    h.extraLength = ReadLe16(b + 28);
    return true;
}

bool DecodeCentralHeader(const uint8_t *b, CentralHeader &h) {
    if (ReadLe32(b) != kCentralHeaderSignature) return false;
    h.versionMadeBy = ReadLe16(b + 4);
    h.versionNeeded = ReadLe16(b + 6);
    h.flags = ReadLe16(b + 8);
    h.method = ReadLe16(b + 10);
    h.dosTime = ReadLe16(b + 12);
    h.dosDate = ReadLe16(b + 14);
    h.crc32 = ReadLe32(b + 16);
    h.compressedSize = ReadLe32(b + 20);
    h.uncompressedSize = ReadLe32(b + 24);
    h.nameLength = ReadLe16(b + 28);
    h.extraLength = ReadLe16(b + 30);
    h.commentLength = ReadLe16(b + 32);
    h.diskStart = ReadLe16(b + 34);
    h.internalAttributes = ReadLe16(b + 36);
    h.externalAttributes = ReadLe32(b + 38);
    h.localHeaderOffset = ReadLe32(b + 42);
    return true;
}

bool DecodeEndRecord(const uint8_t *b, EndRecord &r) {
    if (ReadLe32(b) != kEndRecordSignature) return false;
    r.diskNumber = ReadLe16(b + 4);
    r.directoryDisk = ReadLe16(b + 6);
    r.entriesOnDisk = ReadLe16(b + 8);
    r.entriesTotal = ReadLe16(b + 10);
    r.directorySize = ReadLe32(b + 12);
    r.directoryOffset = ReadLe32(b + 16);
    r.commentLength = ReadLe16(b + 20);
    return true;
}

void EncodeLocalHeader(const LocalHeader &h, uint8_t *b) {
    WriteLe32(b, kLocalHeaderSignature);
    WriteLe16(b + 4, h.versionNeeded);
    WriteLe16(b + 6, h.flags);
    WriteLe16(b + 8, h.method);
    WriteLe16(b + 10, h.dosTime);
    WriteLe16(b + 12, h.dosDate);
    WriteLe32(b + 14, h.crc32);
    WriteLe32(b + 18, h.compressedSize);
    WriteLe32(b + 22, h.uncompressedSize);
    WriteLe16(b + 26, h.nameLength);
    WriteLe16(b + 28, h.extraLength);
}

void EncodeCentralHeader(const CentralHeader &h, uint8_t *b) {
    WriteLe32(b, kCentralHeaderSignature);
    WriteLe16(b + 4, h.versionMadeBy);
    WriteLe16(b + 6, h.versionNeeded);
    WriteLe16(b + 8, h.flags);
    WriteLe16(b + 10, h.method);
    WriteLe16(b + 12, h.dosTime);
    WriteLe16(b + 14, h.dosDate);
    WriteLe32(b + 16, h.crc32);
    WriteLe32(b + 20, h.compressedSize);
    WriteLe32(b + 24, h.uncompressedSize);
    WriteLe16(b + 28, h.nameLength);
    WriteLe16(b + 30, h.extraLength);
    WriteLe16(b + 32, h.commentLength);
    WriteLe16(b + 34, h.diskStart);
    WriteLe16(b + 36, h.internalAttributes);
    WriteLe32(b + 38, h.externalAttributes);
    WriteLe32(b + 42, h.localHeaderOffset);
}

void EncodeEndRecord(const EndRecord &r, uint8_t *b) {
    WriteLe32(b, kEndRecordSignature);
    WriteLe16(b + 4, r.diskNumber);
    WriteLe16(b + 6, r.directoryDisk);
    WriteLe16(b + 8, r.entriesOnDisk);
    WriteLe16(b + 10, r.entriesTotal);
    WriteLe32(b + 12, r.directorySize);
    WriteLe32(b + 16, r.directoryOffset);
    WriteLe16(b + 20, r.commentLength);
}

namespace {

constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr uint64_t kTicksPerSecond = 10000000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

bool DosToFileTime(uint16_t dosDate, uint16_t dosTime, FileTimeTicks &out) {
    out = 0;
    int year = 1980 + (dosDate >> 9), month = (dosDate >> 5) & 15, day = dosDate & 31;
    int hour = dosTime >> 11, minute = (dosTime >> 5) & 63, second = (dosTime & 31) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    if (hour > 23 || minute > 59 || second > 59) return false;
    int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                   kDaysFrom1601To1970;
    uint64_t seconds = static_cast<uint64_t>(days) * 86400 +
                       static_cast<uint64_t>(hour * 3600 + minute * 60 + second);
    out = seconds * kTicksPerSecond;
    return true;
}

void CivilToDos(const CivilTime &t, uint16_t &dosDate, uint16_t &dosTime) {
    CivilTime c = t;
    if (c.year < 1980) c = CivilTime();
    if (c.year > 2107) c = CivilTime{2107, 12, 31, 23, 59, 58};
    dosDate = static_cast<uint16_t>((c.year - 1980) << 9 | c.month << 5 | c.day);
    dosTime = static_cast<uint16_t>(c.hour << 11 | c.minute << 5 | c.second / 2);
}

CivilTime UnixToCivil(int64_t unixSeconds) {
    int64_t days = unixSeconds / 86400, rest = unixSeconds % 86400;
    if (rest < 0) { rest += 86400; --days; }
    // H. Hinnant's civil_from_days.
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    CivilTime c;
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (c.month <= 2));
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

FileTimeTicks UnixToFileTime(uint32_t unixSeconds) {
    return (static_cast<uint64_t>(unixSeconds) +
            static_cast<uint64_t>(kDaysFrom1601To1970) * 86400) * kTicksPerSecond;
}

bool FindExtendedTimes(const uint8_t *extra, size_t length, ExtendedTimes &out) {
    out = ExtendedTimes();
    size_t at = 0;
    // Fewer than four bytes left over are padding some writers leave behind.
    while (length - at >= 4) {
        uint16_t id = ReadLe16(extra + at), size = ReadLe16(extra + at + 2);
        at += 4;
        if (size > length - at) return false;
        if (id == kExtraTimestampId && size >= 1) {
            const uint8_t *p = extra + at, *end = extra + at + size;
            uint8_t flags = *p++;
            auto take = [&](bool wanted, bool &has, uint32_t &value) {
                if (!wanted || end - p < 4) return;
                value = ReadLe32(p);
                has = true;
                p += 4;
            };
            take(flags & 1, out.hasModification, out.modification);
            take(flags & 2, out.hasAccess, out.access);
            take(flags & 4, out.hasCreation, out.creation);
            return true;
        }
        at += size;
    }
    return true;
}

std::vector<uint8_t> EncodeExtendedTimes(const ExtendedTimes &t, bool centralForm) {
    const bool times[3] = {t.hasModification, t.hasAccess && !centralForm, t.hasCreation && !centralForm};
    const uint32_t values[3] = {t.modification, t.access, t.creation};
    uint8_t flags = static_cast<uint8_t>((t.hasModification ? 1 : 0) | (t.hasAccess ? 2 : 0) |
                                         (t.hasCreation ? 4 : 0));
    size_t size = 1;
    for (bool has : times) size += has ? 4 : 0;
    std::vector<uint8_t> field(4 + size);
    WriteLe16(field.data(), kExtraTimestampId);
    WriteLe16(field.data() + 2, static_cast<uint16_t>(size));
    field[4] = flags;
    size_t at = 5;
    for (int i = 0; i < 3; ++i) {
        if (!times[i]) continue;
        WriteLe32(field.data() + at, values[i]);
        at += 4;
    }
    return field;
}

}  // namespace zip
