#ifndef SETUP_WIZARD_SILENT_OPTIONS_H
#define SETUP_WIZARD_SILENT_OPTIONS_H

#include <string>

// The command line of a setup package or an uninstaller (arguments only).
// Only "/S" changes anything: without it the wizard opens as always and the
// command line is not looked at further. With it, blank-separated options are
// read in NSIS's manner, letter case ignored:
//   /S        no page, no message box; the exit code tells the outcome
//   /D=path   the installation folder instead of the package's InstallDir;
//             it must come last and takes the rest of the line, blanks
//             included, without quotes (an uninstaller ignores it)
// Anything else next to "/S" makes the command line not understood.
struct SetupOptions {
    bool silent = false;
    bool understood = true;
    bool hasDestination = false;
    std::wstring destination;  // as given, trailing blanks removed
};

SetupOptions ParseSetupOptions(const std::wstring &arguments);

// The folder a silent install uses for `/D=path`: a fully qualified path
// ("C:\x", "\\server\share\x") with doubled and trailing separators removed.
// Empty when the path cannot be a destination (relative, a drive root, quoted).
// A trailing "\" would keep the uninstaller from recognising its own folder.
std::wstring SilentDestination(const std::wstring &given);

// What a silent run ends with. Install and uninstall share the codes.
enum SilentExitCode : int {
    kSilentDone = 0,
    kSilentBadCommandLine = 1,  // "/S" with an option it does not know
    kSilentBadDestination = 2,  // "/D=" unusable, or the folder cannot be made
    kSilentNoSpace = 3,         // the destination's volume has less free space than the package needs
    kSilentNoPayload = 4,       // no readable archive behind the marker (install) or no uninstall record
    kSilentEngineNotStarted = 5,  // the engine's worker thread could not start
    // Installed; the package asks for a restart, which a silent install
    // neither offers nor makes (the code msiexec uses for the same).
    kSilentDoneRestartNeeded = 3010,
};

#endif
