#ifndef SETUP_WIZARD_WIZARD_STARTUP_WIN_H
#define SETUP_WIZARD_WIZARD_STARTUP_WIN_H

// After the settings are read: an uninstaller that runs from the folder it is
// to remove starts a copy of itself from the Windows Temp folder and ends;
// otherwise the frame for the mode opens and the program lives as long as it.
// Returns the program's exit code.
int RunSetupWizard();

// The uninstaller's move: copies the running program to WindowsDir\Temp under
// its own name (replacing an older copy), makes that folder current and starts
// the copy. False when any step fails (the caller then stays where it is).
bool StartCopyFromTemp();

#endif
