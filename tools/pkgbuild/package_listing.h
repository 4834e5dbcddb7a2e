#ifndef TOOLS_PKGBUILD_PACKAGE_LISTING_H
#define TOOLS_PKGBUILD_PACKAGE_LISTING_H

#include <filesystem>
#include <string>

// A readable account of a setup package or an uninstaller: its mode, its
// script lines unescaped, its files with their sizes and, for an uninstaller,
// its record, with entry names read in `codePage` (0: ASCII). Throws
// BuildFailure when the file is no setup package.
std::string ListPackage(const std::filesystem::path &package, unsigned codePage = 0);

// One script line as a person reads it ("Registry  HKEY_...\Key  Name = REG_SZ data").
std::wstring DescribeScriptLine(const std::wstring &line);

#endif
