#ifndef UPDATER_IDENTIFY_WINDOWS_VERSION_WIN_H
#define UPDATER_IDENTIFY_WINDOWS_VERSION_WIN_H

#include <string>

#include "updater/identify/windows_product.h"

// The running Windows as a product name ("Microsoft Windows XP", ...); 1 when the
// version could be read, 0 otherwise (the name is then empty). `facts`, when given,
// receives what the system reported.
int GetWindowsProductName(std::wstring &name, WindowsVersionFacts *facts = nullptr,
                          unsigned *build = nullptr);

#endif
