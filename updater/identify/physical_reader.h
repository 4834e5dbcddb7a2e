#ifndef UPDATER_IDENTIFY_PHYSICAL_READER_H
#define UPDATER_IDENTIFY_PHYSICAL_READER_H

#include <cstdint>

// Byte reads of physical memory by address. The identification logic reads the
// BIOS area through this; the Win32 reader (CPhysicalMemory) and the tests' image
// readers implement it.
class PhysicalReader {
public:
    virtual ~PhysicalReader() = default;
    // Moves to `address`; the next Read starts there.
    virtual void Seek(uint32_t address) = 0;
    // Copies `count` bytes from the current address on into `buffer` and advances;
    // returns `count`, or 0 when nothing can be read at all.
    virtual uint32_t Read(void *buffer, uint32_t count) = 0;
};

#endif
