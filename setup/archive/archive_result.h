#ifndef SETUP_ARCHIVE_ARCHIVE_RESULT_H
#define SETUP_ARCHIVE_ARCHIVE_RESULT_H

#include <cstdint>

// Result codes of the payload archive, as the setup wizard sees them.
namespace archive_result {
constexpr uint32_t kOk = 0;
constexpr uint32_t kStopped = 2;
constexpr uint32_t kDuplicateFailed = 0x0100;
constexpr uint32_t kOpenFailed = 0x0200;
constexpr uint32_t kNoMemory = 0x0300;
constexpr uint32_t kWriteFailed = 0x0400;        // also: data could not be inflated
constexpr uint32_t kMoreData = 0x0600;           // memory target too small
constexpr uint32_t kBadLocalHeader = 0x0700;
constexpr uint32_t kBadExtraField = 0x0800;
constexpr uint32_t kBadArguments = 0x00010000;
constexpr uint32_t kMemoryTooSmall = 0x00030000;
constexpr uint32_t kWriterFailed = 0x00040000;
constexpr uint32_t kWriterClosed = 0x00050000;
constexpr uint32_t kWrongKind = 0x00080000;
constexpr uint32_t kAlreadyOpen = 0x01000000;
constexpr uint32_t kNotDiskFile = 0x02000000;
constexpr uint32_t kInflateInternal = 0x05000000;
}  // namespace archive_result

#endif
