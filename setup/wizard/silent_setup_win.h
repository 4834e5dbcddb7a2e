#ifndef SETUP_WIZARD_SILENT_SETUP_WIN_H
#define SETUP_WIZARD_SILENT_SETUP_WIN_H

#include "setup/wizard/silent_options.h"

// The wizard's work without its pages ("/S"): the same engine control the
// progress page runs (closing a running copy of the product first), its
// notices taken by a message-only window, no message box. An install checks
// first what the destination page would have shown: a folder that cannot be
// made and a volume without the space the package needs. Complete's actions
// are left out: AfterPath is not started and no restart is offered.
// Returns the exit code (silent_options.h).
int RunSilentSetup(const SetupOptions &options);

#endif
