#ifndef SETUP_SCRIPT_SETUP_MARKERS_H
#define SETUP_SCRIPT_SETUP_MARKERS_H

#include <string>

// A setup package is the program image, a marker and a ZIP archive. The marker
// is a mode identifier in the ANSI code page written backwards. The identifiers
// exist in the program only as wide text, so the marker bytes never occur in the
// program image; the marker is rebuilt from the identifier whenever it is needed.

enum class SetupMode { None, Install, Uninstall };

// Mode identifiers (wide literals; never store their narrow or reversed form).
extern const wchar_t kInstallerIdentifier[];
extern const wchar_t kUninstallerIdentifier[];

// The identifier narrowed to ANSI and reversed. The identifiers are ASCII, which
// every ANSI code page keeps as it is; other characters become "?" as the
// system's conversion does. At most 260 bytes are kept, as the search reads them.
std::string MakeMarker(const std::wstring &identifier);
std::string InstallerMarker();
std::string UninstallerMarker();

#endif
