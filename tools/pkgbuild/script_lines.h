#ifndef TOOLS_PKGBUILD_SCRIPT_LINES_H
#define TOOLS_PKGBUILD_SCRIPT_LINES_H

#include <string>
#include <vector>

#include "tools/pkgbuild/package_description.h"

// Setup-script lines made from plain texts: every path, key and value that the
// setup wizard unescapes is escaped here, field by field.

std::wstring GeneralLine(const std::wstring &key, const std::wstring &value);
std::wstring ExecuteLine(const std::wstring &key, const std::wstring &value);
// "File/Target=" + the first component + "/" + the others joined by "/", each
// escaped; a folder entry ends in "/".
std::wstring FileTargetLine(const std::vector<std::wstring> &components, bool folder);
std::wstring RegistryLine(const RegistryValueSpec &value);
std::wstring ShortcutLine(const ShortcutSpec &shortcut);

// True when the setup wizard's unescaping gives `raw` back exactly.
bool SurvivesEscaping(const std::wstring &raw);

// Splits a target path at "\" (or "/") after collapsing doubled separators.
std::vector<std::wstring> PathComponents(const std::wstring &path);

// The folder tokens a file target may begin with, and those of shortcut folders.
bool IsSetupFolderToken(const std::wstring &component);
bool IsDriveComponent(const std::wstring &component);
bool BeginsWithShortcutToken(const std::wstring &folder);

#endif
