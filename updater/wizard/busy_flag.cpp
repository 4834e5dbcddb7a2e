#include "updater/wizard/busy_flag.h"

namespace {
bool g_busy = false;
}

bool IsInstallationBusy() { return g_busy; }

void SetInstallationBusy(bool busy) { g_busy = busy; }
