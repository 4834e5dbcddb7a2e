#include "common/zip/zip_attributes.h"

uint32_t MapExternalAttributes(uint32_t a) {
    uint32_t result = file_attribute::kNormal;
    if (a & (1u << 30) || a & (1u << 4)) result |= file_attribute::kDirectory;
    if (a & (1u << 5)) result |= file_attribute::kArchive;
    if (a & (1u << 1)) result |= file_attribute::kHidden;
    if (!(a & (1u << 23)) || a & 1u) result |= file_attribute::kReadOnly;
    if (a & (1u << 2)) result |= file_attribute::kSystem;
    return result;
}

uint32_t MapPackageAttributes(uint16_t versionMadeBy, uint32_t external) {
    const unsigned kUnixHost = 3;
    if ((versionMadeBy >> 8) == kUnixHost) return MapExternalAttributes(external);
    const uint32_t dosBits = file_attribute::kReadOnly | file_attribute::kHidden |
                             file_attribute::kSystem | file_attribute::kDirectory |
                             file_attribute::kArchive;
    return file_attribute::kNormal | (external & dosBits);
}

uint32_t SettableFileAttributes(uint32_t attributes) {
    attributes &= ~file_attribute::kDirectory;
    if (attributes & ~file_attribute::kNormal) attributes &= ~file_attribute::kNormal;
    return attributes ? attributes : file_attribute::kNormal;
}
