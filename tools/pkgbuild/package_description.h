#ifndef TOOLS_PKGBUILD_PACKAGE_DESCRIPTION_H
#define TOOLS_PKGBUILD_PACKAGE_DESCRIPTION_H

#include <string>
#include <vector>

#include "tools/pkgbuild/build_diagnostics.h"

// A package description as a packager writes it (see docs/package-builder.md):
// an INI-like UTF-8 text with plain paths and registry keys. The builder turns
// it into setup-script lines; nothing here is escaped yet.

struct DescribedValue {
    std::wstring key;    // as the format spells it ("Title", "AfterPath", ...)
    std::wstring value;  // trimmed
    int line = 0;
};

struct FileSource {
    std::wstring source;        // as written: relative to the description's folder, or absolute
    std::wstring targetFolder;  // "{InstallDir}\docs"
    int line = 0;
};

struct RegistryValueSpec {
    std::wstring keyPath;  // "HKEY_LOCAL_MACHINE\SOFTWARE\Parvoni\Viewer"
    std::wstring valueName;
    std::wstring type;     // "REG_SZ" or "REG_DWORD", upper case
    std::wstring data;
    int line = 0;
};

struct ShortcutSpec {
    std::wstring folder, name, description, target, arguments;
    int line = 0;
};

struct PackageDescription {
    std::string file;  // the description's path, for messages
    std::vector<DescribedValue> general;  // Title, Prefix, Name, Version, Suffix, InstallDir
    std::vector<DescribedValue> execute;  // AfterPath, AfterParam, AfterReboot
    bool uninstaller = true;
    std::vector<FileSource> files;
    std::vector<RegistryValueSpec> registry;
    std::vector<ShortcutSpec> shortcuts;

    // The value of a General or Execute key, empty when not given.
    std::wstring General(const wchar_t *key) const;
    std::wstring Execute(const wchar_t *key) const;
    int LineOf(const std::vector<DescribedValue> &values, const wchar_t *key) const;
};

// Parses the text of a description. Syntax problems (unknown sections or keys,
// a key given twice, a line that is not "key = value", a registry type other than
// REG_SZ or REG_DWORD, a shortcut without folder, name or target) go to
// `diagnostics`, naming `fileName` and the line.
PackageDescription ParseDescription(const std::string &utf8Text, const std::string &fileName,
                                    Diagnostics &diagnostics);

#endif
