#ifndef COMMON_ZIP_ZIP_FORMAT_H
#define COMMON_ZIP_ZIP_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The records of the published ZIP format (single volume, no ZIP64), their
// little-endian encoding, MS-DOS date/time and the Info-ZIP "UT" extra field.

namespace zip {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr size_t kLocalHeaderSize = 30;     // without name and extra field
constexpr size_t kCentralHeaderSize = 46;   // without name, extra field and comment
constexpr size_t kEndRecordSize = 22;       // without comment
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kExtraTimestampId = 0x5455;  // "UT"

struct LocalHeader {
    uint16_t versionNeeded = 20;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
};

struct CentralHeader {
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 20;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    uint16_t diskStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
    // Bytes taken by this header with its variable parts.
    size_t TotalSize() const { return kCentralHeaderSize + nameLength + extraLength + commentLength; }
};

struct EndRecord {
    uint16_t diskNumber = 0;
    uint16_t directoryDisk = 0;
    uint16_t entriesOnDisk = 0;
    uint16_t entriesTotal = 0;
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    uint16_t commentLength = 0;
};

// Decoding takes exactly the fixed size above and checks the signature.
bool DecodeLocalHeader(const uint8_t *bytes, LocalHeader &out);
bool DecodeCentralHeader(const uint8_t *bytes, CentralHeader &out);
bool DecodeEndRecord(const uint8_t *bytes, EndRecord &out);
void EncodeLocalHeader(const LocalHeader &header, uint8_t *bytes);
void EncodeCentralHeader(const CentralHeader &header, uint8_t *bytes);
void EncodeEndRecord(const EndRecord &record, uint8_t *bytes);

uint16_t ReadLe16(const uint8_t *p);
uint32_t ReadLe32(const uint8_t *p);
void WriteLe16(uint8_t *p, uint16_t v);
void WriteLe32(uint8_t *p, uint32_t v);

// Calendar time without a zone (the DOS fields carry none).
struct CivilTime {
    int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Windows FILETIME as one number: 100 ns ticks since 1601-01-01.
using FileTimeTicks = uint64_t;

// The DOS fields as DosDateTimeToFileTime reads them; false (and 0) for fields
// that name no date (month or day 0, month > 12, hour > 23, ...).
bool DosToFileTime(uint16_t dosDate, uint16_t dosTime, FileTimeTicks &out);
// Seconds are rounded down to even; years outside 1980..2107 are clamped.
void CivilToDos(const CivilTime &time, uint16_t &dosDate, uint16_t &dosTime);
CivilTime UnixToCivil(int64_t unixSeconds);
FileTimeTicks UnixToFileTime(uint32_t unixSeconds);

// The "UT" extended timestamp: present times replace the DOS time.
struct ExtendedTimes {
    bool hasModification = false, hasAccess = false, hasCreation = false;
    uint32_t modification = 0, access = 0, creation = 0;
};

// Looks through an extra field block for "UT" and decodes it. Returns false
// only when the block itself is malformed (a sub-field overruns it); absent
// "UT" leaves `out` without times and returns true.
bool FindExtendedTimes(const uint8_t *extra, size_t length, ExtendedTimes &out);
// Encodes a "UT" sub-field: the local form carries every time whose flag is
// set, the central form only the modification time (as Info-ZIP writes it).
std::vector<uint8_t> EncodeExtendedTimes(const ExtendedTimes &times, bool centralForm);

}  // namespace zip

#endif
