#ifndef TOOLS_CATALOG_PREVIEW_COMMAND_H
#define TOOLS_CATALOG_PREVIEW_COMMAND_H

#include <string>

#include "tools/catalog/command_line.h"
#include "updater/identify/device_profile.h"

// The device a command is about, from --family, --model, --suffix, --serial,
// --windows and --language. Throws UsageError for what no device could be.
DeviceProfile ProfileFromCommandLine(const CommandLine &line, unsigned short &languageId);

// tessel-catalog preview TREE ...: prints the report; returns the exit status.
int RunPreview(const CommandLine &line);

#endif
