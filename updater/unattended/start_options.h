#ifndef UPDATER_UNATTENDED_START_OPTIONS_H
#define UPDATER_UNATTENDED_START_OPTIONS_H

#include <string>

// How Tessel was asked to start. Options are read without regard to letter
// case, with "/" or "-" before them.
enum class StartMode {
    kInteractive,   // no option: the window and its pages
    kWindowsStart,  // "/WindowsStart": hidden until started again
    kUnattended,    // "/unattended": search, install what is newer, no window
    kList,          // "/list": search and report, nothing installed
    kHelp,          // "/help", "/?"
    kInvalid,       // anything else: the window, as a start without options
};

StartMode ParseStartOptions(const std::wstring &arguments);

// What an unattended or list run exits with.
enum UnattendedExit : int {
    kExitDone = 0,            // everything newer installed, or nothing to do (list: written)
    kExitRowsFailed = 1,      // a package failed: that row and the rows after it are not installed
    kExitNoCatalogue = 2,     // the update server could not be reached
    kExitAnotherCopy = 3,     // another Tessel runs
    kExitSelfUpdateStarted = 4,  // a newer Tessel is being installed; the next start goes on
};

// The text "/help" shows (English; fleet administrators read it in a console).
extern const wchar_t kStartOptionsHelp[];

#endif
