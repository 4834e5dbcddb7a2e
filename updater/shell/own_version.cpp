// The update manager's own version, a build setting (TESSEL_VERSION). It is
// alone in its file so that a program can be linked with another version
// (tessel_updater_program VERSION) while the libraries stay as they are.
#include "updater/shell/startup_rules.h"

#define TESSEL_WIDE2(text) L##text
#define TESSEL_WIDE(text) TESSEL_WIDE2(text)

const wchar_t kOwnVersion[] = TESSEL_WIDE(TESSEL_OWN_VERSION);
