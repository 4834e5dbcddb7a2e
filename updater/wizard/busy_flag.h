#ifndef UPDATER_WIZARD_BUSY_FLAG_H
#define UPDATER_WIZARD_BUSY_FLAG_H

// Set while an installer runs: the main window then refuses to close. Used on the
// user-interface thread only (the installation waits there with its own message pump).
bool IsInstallationBusy();
void SetInstallationBusy(bool busy);

#endif
