#ifndef UPDATER_SHELL_STARTUP_RULES_H
#define UPDATER_SHELL_STARTUP_RULES_H

#include <string>

#include "updater/catalogue/inventory_rules.h"  // ProductKeyPath

// Fixed names of the update manager and the small decisions start-up makes on them.

extern const wchar_t kOwnVersion[];           // the build setting TESSEL_VERSION, "1.2.E"
extern const wchar_t kSingleInstanceName[];   // the mutex a second copy finds
extern const wchar_t kMainWindowClass[];      // "Tessel"
extern const wchar_t kProgramFileName[];      // "\Tessel.exe", after the program folder
extern const wchar_t kWindowsStartArgument[]; // "/WindowsStart"

// Program folder + "\Temp\": downloads and unpacked packages, removed at start and exit.
std::wstring TempFolderOf(const std::wstring &programFolder);
// True for "/WindowsStart" in any letter case with any white space around it.
bool IsWindowsStartArgument(const std::wstring &arguments);

#endif
