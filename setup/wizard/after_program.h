#ifndef SETUP_WIZARD_AFTER_PROGRAM_H
#define SETUP_WIZARD_AFTER_PROGRAM_H

#include <string>

#include "setup/script/setup_settings.h"

// The command line Complete starts: AfterPath and AfterParam with their folder
// tokens expanded and unescaped; the path loses the double quotes at its ends and
// is put in quotes of its own, followed by a space and the arguments when there
// are any. Empty when there is no AfterPath.
std::wstring AfterCommandLine(const SetupSettings &settings);

// AfterReboot is "TRUE" (letter case ignored).
bool WantsRestart(const SetupSettings &settings);

#endif
