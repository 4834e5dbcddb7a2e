#ifndef SETUP_WIZARD_WIZARD_STARTUP_WIN_H
#define SETUP_WIZARD_WIZARD_STARTUP_WIN_H

// After the settings are read: an uninstaller that runs from the folder it is
// to remove starts a copy of itself from a folder of its own below the
// Windows Temp folder (uninstaller_copy_win.h) and ends;
// otherwise the frame for the mode opens and the program lives as long as it.
// Returns the program's exit code.
int RunSetupWizard();

#endif
