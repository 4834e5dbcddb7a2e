#ifndef UPDATER_IDENTIFY_MEMORY_DRIVER_IMAGE_H
#define UPDATER_IDENTIFY_MEMORY_DRIVER_IMAGE_H

#include <cstdint>

// The memory driver pmio.sys, built from driver/ and carried in the program
// (the build generates the definitions from the built file).
extern "C" const unsigned char kMemoryDriverImage[];
extern "C" const uint32_t kMemoryDriverImageSize;

// The file times stamped on every copy of the driver that the program writes
// (FILETIME values: 100 ns units since 1601-01-01 UTC), so that a written copy
// looks the same on every device: 2012-03-15 09:00:00 UTC.
constexpr uint64_t kMemoryDriverCreationTime = 129762756000000000ull;
constexpr uint64_t kMemoryDriverLastAccessTime = 129762756000000000ull;
constexpr uint64_t kMemoryDriverLastWriteTime = 129762756000000000ull;

#endif
