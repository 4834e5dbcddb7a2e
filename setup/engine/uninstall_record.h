#ifndef SETUP_ENGINE_UNINSTALL_RECORD_H
#define SETUP_ENGINE_UNINSTALL_RECORD_H

#include <string>
#include <utility>
#include <vector>

#include "setup/script/setup_settings.h"

// The record the install engine appends to the uninstaller it leaves behind,
// and how the uninstall engine reads it back. Lines use "\" between fields;
// the archive stores them as folder entries with "/".

using RecordPair = std::pair<std::wstring, std::wstring>;

// What an installation did, in payload order, as the payload's lines wrote it.
struct RecordLists {
    std::vector<RecordPair> files;      // (folder token text, relative path; folders end in "/")
    std::vector<RecordPair> registry;   // (key path, value name)
    std::vector<RecordPair> shortcuts;  // (folder, link name)

    void Clear();
};

// The longest entry name the archive reader gives back whole (its 259-character
// limit, the trailing "/" of a folder entry included).
constexpr size_t kMaxRecordEntryName = 259;

// The General lines (Title, Prefix, Name, Version, Suffix, InstallDir, each
// escaped), one File line per installed entry, the uninstaller's own File line,
// then the Registry and Shortcut lines. A line whose stored name would be cut
// by the reader is left out: read back cut, it would name another file or key.
std::vector<std::wstring> UninstallRecordLines(const SetupSettings &settings,
                                               const RecordLists &lists);

// One record entry as the uninstall engine acts on it.
struct RecordAction {
    enum class Kind { None, File, Registry, Shortcut };
    Kind kind = Kind::None;
    std::wstring first;   // folder, key path or shortcut folder (as stored)
    std::wstring second;  // path, value name or link name (as stored)
};

// Strips the trailing "/", takes the section and splits the rest at its first
// "/". General lines, unknown sections and lines without both parts give None.
RecordAction ParseRecordEntry(const std::wstring &entryName);

// The Windows Uninstall key of a product and its command line.
extern const wchar_t kUninstallKeyBase[];  // "HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\"
// Empty when `title` is empty: without a name the path would be the Uninstall
// key itself, shared by every installed program.
std::wstring UninstallKeyPath(const std::wstring &title);
// A double quote, installDir, "\Uninstall.exe" and a double quote, every run of
// backslashes reduced to one.
std::wstring UninstallCommandLine(const std::wstring &installDir);

// The root prefixes ("HKEY_LOCAL_MACHINE\", ...) the uninstall engine
// recognises before it deletes an emptied key. True with the root's name and
// the rest of the path when `keyPath` begins with one (letter case ignored).
bool SplitRootPrefix(const std::wstring &keyPath, std::wstring &rootName, std::wstring &rest);

// A path that names the same file whatever the current folder is ("C:\x",
// "\\server\share\x"). The uninstall engine deletes nothing else: a record
// without its InstallDir would otherwise turn "{InstallDir}\x" into the "\x"
// of whatever drive the uninstaller runs on.
bool IsFullyQualifiedPath(const std::wstring &path);

#endif
