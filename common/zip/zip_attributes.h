#ifndef COMMON_ZIP_ZIP_ATTRIBUTES_H
#define COMMON_ZIP_ZIP_ATTRIBUTES_H

#include <cstdint>

// Windows file attribute values (fixed by the file system's format), so that
// portable code can speak of them without <windows.h>.
namespace file_attribute {
constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kHidden = 0x02;
constexpr uint32_t kSystem = 0x04;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kNormal = 0x80;
}  // namespace file_attribute

// Windows attributes from a ZIP entry's external attributes, whatever system
// wrote it: directory from bit 30 (Unix directory) or bit 4, archive bit 5,
// hidden bit 1, system bit 2, read-only when bit 23 (Unix owner write) is
// clear or bit 0 is set; FILE_ATTRIBUTE_NORMAL always.
uint32_t MapExternalAttributes(uint32_t external);

// Windows attributes of an update package's entry, read as the system that made
// the archive wrote them (the high byte of "version made by"): Unix entries by
// the rule above, every other host by its DOS attribute byte (read-only, hidden,
// system, directory, archive), so that an archive made on Windows unpacks
// writable. FILE_ATTRIBUTE_NORMAL always.
uint32_t MapPackageAttributes(uint16_t versionMadeBy, uint32_t external);

// The attributes to hand to CreateFileW or SetFileAttributesW for an entry's
// file: never the directory bit, and "normal" only alone (Windows rejects or
// ignores it beside other bits).
uint32_t SettableFileAttributes(uint32_t attributes);

#endif
