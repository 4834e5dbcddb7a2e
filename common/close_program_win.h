#ifndef COMMON_CLOSE_PROGRAM_WIN_H
#define COMMON_CLOSE_PROGRAM_WIN_H

#include <windows.h>

#include <string>

// Ending a running maker program before its files are replaced: both programs
// do it (the setup engines before they write or remove files, the update
// manager before it installs a component). Windows of this process are never
// candidates.

bool IsOwnProcessWindow(HWND window);

// The program that owns a notification-area icon and whose window's class name
// or title begins with the given prefix (see FindTrayIconOwner): its icons 1
// and 2008 are removed and its process is terminated. True when one was found.
bool CloseTrayIconOwner(const std::wstring &classPrefix, const std::wstring &titlePrefix);

// Asks `window` to close, then to destroy itself, allowing each request up to
// one second, and terminates its process when the window is still there. A
// window that went as asked leaves its process alone: a folder window of the
// shell titled like a product must not take the shell with it.
void CloseWindowAndProcess(HWND window);

#endif
