#ifndef TOOLS_IDENTIFY_IDENTIFY_REPORT_WIN_H
#define TOOLS_IDENTIFY_IDENTIFY_REPORT_WIN_H

#include <string>

// The whole report: every source's raw answer, then the device profile start-up would
// keep and the server folders it implies. One "name: value" line each.
std::wstring BuildIdentifyReport();

// What --help prints: each line of the report explained.
const wchar_t *IdentifyReportHelp();

#endif
