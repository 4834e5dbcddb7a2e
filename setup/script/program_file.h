#ifndef SETUP_SCRIPT_PROGRAM_FILE_H
#define SETUP_SCRIPT_PROGRAM_FILE_H

#include <windows.h>

// This program's own file, opened once at start and held until the program
// ends, sharing only reading: nobody can rewrite, rename or delete it while the
// wizard waits, so the settings, the payload and the uninstall record all come
// from the package that was started, read through this one handle.

// Opens the file; false when it cannot be opened (the program must end then).
bool OpenProgramFile();
// The open handle; null before OpenProgramFile succeeded.
HANDLE ProgramFileHandle();

#endif
