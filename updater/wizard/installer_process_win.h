#ifndef UPDATER_WIZARD_INSTALLER_PROCESS_WIN_H
#define UPDATER_WIZARD_INSTALLER_PROCESS_WIN_H

#include <windows.h>

#include <string>

// Running a component's installer on the user-interface thread: the thread keeps
// serving its windows (mouse input dropped) while it waits, and the busy flag
// keeps the main window from closing meanwhile.

// Starts `path` (see InstallerCommandLine) and waits until it has ended and no
// "dpinst.exe" runs. A missing file or an installer that cannot be started
// returns at once; an installer's exit code is not read.
void RunInstaller(const std::wstring &path);

// True while `process` runs or any process's file name is "dpinst.exe" (driver
// installers hand their work to it and end).
bool IsInstallerRunning(HANDLE process);

// Dispatches up to ten waiting messages of this thread, mouse messages dropped,
// then sends a null keyboard event (it keeps the system from idling).
void PumpMessages();

// Starts `program` without waiting for it (a maker application closed for an
// installation), with the rights of the user at the desktop, not ours.
void StartProgram(const std::wstring &program);

#endif
