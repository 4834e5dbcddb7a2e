#ifndef SETUP_SCRIPT_SETUP_STARTUP_H
#define SETUP_SCRIPT_SETUP_STARTUP_H

#include <cstdint>
#include <string>

#include "setup/script/setup_settings.h"

// Start-up of the setup wizard (Windows build): finding the marker in the
// program's own file and reading the script into the process-wide settings.

struct PayloadLocation {
    bool found = false;
    std::wstring path;    // the program's own file; when not found, "<folder>\<identifier>.zip"
    uint64_t offset = 0;  // the marker's first byte (0 when not found)
};

// Searches the running program's file for the marker made from `identifier`.
PayloadLocation LocatePayload(const std::wstring &identifier);
// The same search over any file (tests and tools look at packages this way).
PayloadLocation LocatePayloadIn(const std::wstring &file, const std::wstring &identifier);

// Fills ProcessSetupSettings(): the special folders, the mode from the marker,
// then the script lines of the archive. False, with nothing shown, when the
// program's file holds neither marker: the program must end then.
bool ReadSetupSettings();
// The same for the file `program` into `settings` (what start-up does with its own file).
bool ReadSetupSettingsFrom(const std::wstring &program, SetupSettings &settings);

// A line of the setup wizard's debugger trace (OutputDebugStringW); no other effect.
void TraceSetup(const std::wstring &line);

#endif
