#ifndef UPDATER_IDENTIFY_WINDOWS_VERSION_WIN_H
#define UPDATER_IDENTIFY_WINDOWS_VERSION_WIN_H

#include <string>

// The running Windows as a product name ("Microsoft Windows XP", ...); 1 when the
// version could be read, 0 otherwise (the name is then empty).
int GetWindowsProductName(std::wstring &name);

#endif
