#ifndef COMMON_WIN32_ERROR_WIN_H
#define COMMON_WIN32_ERROR_WIN_H

#include <windows.h>

#include <string>

// The system's text for a Win32 (or WinInet) error code, without the trailing
// line end; "Error N" when the system has none. For diagnostics and test
// messages: the programs show their own localized texts to users.
std::wstring Win32ErrorText(DWORD code);

#endif
