#ifndef SETUP_SCRIPT_SETUP_STARTUP_H
#define SETUP_SCRIPT_SETUP_STARTUP_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "setup/script/setup_settings.h"

// Start-up of the setup wizard (Windows build): finding the marker in the
// program's own file and reading the script into the process-wide settings.

struct PayloadLocation {
    bool found = false;
    std::wstring path;    // the file searched by path; when not found, "<folder>\<identifier>.zip"
    uint64_t offset = 0;  // the marker's first byte (0 when not found)
};

// Searches the file behind `file` (read from its start through the handle)
// for the marker made from `identifier`; `path` stays empty.
PayloadLocation LocatePayloadIn(HANDLE file, const std::wstring &identifier);
// The same search over a file by path (tests and tools look at packages this way).
PayloadLocation LocatePayloadIn(const std::wstring &file, const std::wstring &identifier);

// Fills ProcessSetupSettings() from the program's own file as OpenProgramFile
// holds it: the special folders, the mode from the marker, then the script
// lines of the archive. False, with nothing shown, when the file holds neither
// marker: the program must end then.
bool ReadSetupSettings();
// The same for the file behind `program` into `settings`.
bool ReadSetupSettingsFrom(HANDLE program, SetupSettings &settings);
// The same for a file by path (tests look at packages this way).
bool ReadSetupSettingsFrom(const std::wstring &program, SetupSettings &settings);

// A line of the setup wizard's debugger trace (OutputDebugStringW); no other effect.
void TraceSetup(const std::wstring &line);

#endif
