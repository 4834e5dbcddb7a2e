#ifndef SETUP_WIZARD_WIZARD_STARTUP_WIN_H
#define SETUP_WIZARD_WIZARD_STARTUP_WIN_H

#include <string>

// After the settings are read: an uninstaller that runs from the folder it is
// to remove starts a copy of itself from a folder of its own below the
// Windows Temp folder (uninstaller_copy_win.h), handing on "/S", and ends;
// otherwise "/S" in `arguments` (the command line without the program) runs
// the engine without pages (silent_setup_win.h), and without it the frame for
// the mode opens and the program lives as long as it.
// Returns the program's exit code (0 for the wizard and for the hand-over).
int RunSetupWizard(const std::wstring &arguments);

#endif
