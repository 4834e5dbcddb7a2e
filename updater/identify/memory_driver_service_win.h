#ifndef UPDATER_IDENTIFY_MEMORY_DRIVER_SERVICE_WIN_H
#define UPDATER_IDENTIFY_MEMORY_DRIVER_SERVICE_WIN_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/kernel_handle_win.h"

// The memory driver's file, its kernel service "pmio" and its device "\\.\pmio".

// "<system folder>\drivers\pmio.sys": the only copy the program ever loads. The
// drivers folder is writable by administrators alone, so no other user can
// put a file of their own there.
std::wstring MemoryDriverFilePath();

// Makes the file at `path` hold exactly the embedded driver image: rewritten
// (with the image's fixed file times) whenever its bytes differ or it is
// missing. False when it cannot be made so (a folder of that name, no rights,
// the file in use).
bool WriteMemoryDriverFile(const std::wstring &path);

enum class DriverServiceStart {
    Running,      // created (or found) and started (or already running)
    StartFailed,  // exists, but the driver did not start
    NotInstalled, // could not be created or reconfigured
};

// Creates the demand-start kernel driver service "pmio" for the file at `path`
// (an existing one is pointed at `path`) and starts it.
DriverServiceStart InstallMemoryDriverService(const std::wstring &path);

// Stops and deletes the service "pmio"; results are ignored.
void RemoveMemoryDriverService();

// Opens "\\.\pmio" for reading, all its page request needs; empty when there
// is no such device.
CKernelHandle OpenMemoryDriverDevice();

// Asks the driver for the 4096-byte page that holds `address`.
bool ReadPageThroughDriver(HANDLE device, uint32_t address, unsigned char *page);

#endif
