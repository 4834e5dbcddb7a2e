#ifndef SETUP_WIZARD_START_PROGRAM_WIN_H
#define SETUP_WIZARD_START_PROGRAM_WIN_H

#include <string>

#include "common/process_start_win.h"

// Starts `commandLine` (no application name; current folder and environment
// inherited) and does not wait for it. False when the process was not created.
bool StartCommandLine(const std::wstring &commandLine, ProcessUser user = ProcessUser::kSame);

#endif
