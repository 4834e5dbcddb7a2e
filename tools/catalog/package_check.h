#ifndef TOOLS_CATALOG_PACKAGE_CHECK_H
#define TOOLS_CATALOG_PACKAGE_CHECK_H

#include <filesystem>
#include <string>

// Whether a file a device will fetch works there. Each returns an empty text
// when it does, or why not.

// A ZIP package: every entry reads back whole through the update manager's ZIP
// layers (local headers, inflate, sizes, every CRC-32), and no entry's name
// would leave the folder it is unpacked into.
std::string CheckZipPackage(const std::filesystem::path &package);

// A setup package of this project (what the self-update starts): a Windows
// program, the installer marker, and after it an archive that reads back whole.
std::string CheckSetupPackage(const std::filesystem::path &package);

// True for names the update manager unpacks (".zip", letter case ignored).
bool IsZipPackageName(const std::wstring &name);

#endif
