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

uint32_t SettableFileAttributes(uint32_t attributes) {
    attributes &= ~file_attribute::kDirectory;
    if (attributes & ~file_attribute::kNormal) attributes &= ~file_attribute::kNormal;
    return attributes ? attributes : file_attribute::kNormal;
}
