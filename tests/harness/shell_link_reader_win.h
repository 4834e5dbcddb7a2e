#ifndef TESTS_HARNESS_SHELL_LINK_READER_WIN_H
#define TESTS_HARNESS_SHELL_LINK_READER_WIN_H

#include <windows.h>

#include <string>

// What a test checks of a .lnk file, read back through the shell's own
// IShellLinkW (the way Explorer sees the link).
struct ShellLinkFields {
    std::wstring target, arguments, workingFolder, description;
    WORD hotKey = 0;
};

// False when the file is no readable shell link.
bool ReadShellLink(const std::wstring &lnkPath, ShellLinkFields &out);

#endif
