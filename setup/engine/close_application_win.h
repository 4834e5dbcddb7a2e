#ifndef SETUP_ENGINE_CLOSE_APPLICATION_WIN_H
#define SETUP_ENGINE_CLOSE_APPLICATION_WIN_H

#include <string>

// Ends a running copy of the product before its files are replaced or removed:
// first the program that owns a notification-area icon (its icons 1 and 2008
// are removed, then it is terminated), then the first top-level window whose
// class name begins with `name` or, failing that, whose title begins with
// `title` (asked to close, then to destroy itself, then its process terminated
// when the window is still there). An empty
// `name` or `title` is no criterion, and windows of this process are never
// candidates. When nothing was found and `title` is "marboMusic", the player's
// other names ("TuneForge", "Tune Forge") are tried. True when a window was found.
bool CloseRunningApplication(const std::wstring &name, const std::wstring &title);

#endif
