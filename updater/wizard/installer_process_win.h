#ifndef UPDATER_WIZARD_INSTALLER_PROCESS_WIN_H
#define UPDATER_WIZARD_INSTALLER_PROCESS_WIN_H

#include <windows.h>

#include <string>

#include "updater/wizard/update_run.h"

// Starts `path` (see InstallerCommandLine; with `quiet`, QuietInstallerCommandLine)
// and waits until it has ended and no "dpinst.exe" runs, or until `stopEvent` is
// set (the installer goes on then). Runs on a worker thread: it blocks for as
// long as the installer runs.
InstallerEnd RunInstallerAndWait(const std::wstring &path, bool quiet, HANDLE stopEvent);

// True when the file at `path` is a setup package of this project (the
// installer's marker follows the program image).
bool IsSetupPackageFile(const std::wstring &path);

// True when `path` names a file (not a folder).
bool IsPlainFile(const std::wstring &path);

// True while `process` runs or any process's file name is "dpinst.exe" (driver
// installers hand their work to it and end).
bool IsInstallerRunning(HANDLE process);

// Starts `program` without waiting for it (a maker application closed for an
// installation), with the rights of the user at the desktop, not ours.
void StartProgram(const std::wstring &program);

#endif
