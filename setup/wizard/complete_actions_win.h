#ifndef SETUP_WIZARD_COMPLETE_ACTIONS_WIN_H
#define SETUP_WIZARD_COMPLETE_ACTIONS_WIN_H

#include <windows.h>

#include "setup/script/setup_settings.h"

// Starts the package's AfterPath program with its arguments, without waiting;
// a start that fails is not reported. False when nothing was started.
bool StartAfterProgram(const SetupSettings &settings);

// Asks the restart question; on Yes enables the shutdown privilege and restarts
// Windows at once (reboot, force). Nothing happens when the privilege cannot be had.
void OfferRestart(HWND owner);

#endif
