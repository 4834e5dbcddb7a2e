#ifndef UPDATER_CATALOGUE_PROGRAM_NAMES_WIN_H
#define UPDATER_CATALOGUE_PROGRAM_NAMES_WIN_H

#include <string>

#include "updater/catalogue/program_names.h"

// The installed file of a component on this system (program files or Windows folder).
std::wstring GetInstalledFile(const std::wstring &component);

#endif
