#include "setup/wizard/silent_setup_win.h"

#include <windows.h>

#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/message_window_win.h"
#include "common/system_folders.h"
#include "setup/engine/engine_job_win.h"
#include "setup/engine/engine_control_win.h"
#include "setup/script/script_line.h"
#include "setup/script/setup_settings.h"
#include "setup/script/value_escaping.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/uninstaller_move.h"

namespace {

// Runs the engine to its end. False when its worker could not start.
bool RunEngine(CEngineControl &control, bool &payloadRead) {
    bool ended = false;
    CMessageWindow notices([&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != control.Message() || wParam != 0) return false;
        if (lParam == kWorkerProgress)
            control.ItemText();  // read, so that the next notice comes
        else
            ended = true;
        return true;
    });
    if (!notices.Window()) return false;
    control.Attach(nullptr, notices.Window());
    const bool started = control.Start();
    MSG message;
    while (started && !ended && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    control.StopWorker();
    payloadRead = control.PayloadRead();
    return started;
}

int RunToExitCode(CEngineControl &control) {
    bool payloadRead = false;
    if (!RunEngine(control, payloadRead)) return kSilentEngineNotStarted;
    return payloadRead ? kSilentDone : kSilentNoPayload;
}

bool FolderExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What the destination page would have shown the user before Install: the
// folder is made here, so that its volume can be asked for its free space.
int CheckDestination(const SetupSettings &settings) {
    const std::wstring &folder = settings.InstallDir;
    if (folder.empty()) return kSilentBadDestination;
    const bool existed = FolderExists(folder);
    if (!CreateFolderPath(folder)) return kSilentBadDestination;
    ULARGE_INTEGER available = {}, total = {}, free = {};
    // A volume that cannot be asked does not stop the install, as the page's
    // "Unknown" does not.
    if (GetDiskFreeSpaceExW((folder + L"\\").c_str(), &available, &total, &free) &&
        double(available.QuadPart) < settings.RequiredBytes) {
        if (!existed) RemoveDirectoryW(folder.c_str());
        return kSilentNoSpace;
    }
    return kSilentDone;
}

// An installed uninstaller that handed over to this copy holds its own file
// until it has ended, and the engine could not delete the file before. Nobody
// watches a silent copy start, so it waits (at most 10 s) for that file to be
// free; one started any other way finds it free at once.
void WaitForInstalledUninstaller(const SetupSettings &settings) {
    const std::wstring path = UnescapeValue(settings.InstallDir + L"\\" + kUninstallerEntryName);
    for (int tries = 0; tries < 100; ++tries) {
        const CKernelHandle file(CreateFileW(path.c_str(), DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return;
        if (GetLastError() != ERROR_SHARING_VIOLATION) return;
        Sleep(100);
    }
}

int InstallSilently(const SetupOptions &options) {
    SetupSettings &settings = ProcessSetupSettings();
    if (options.hasDestination) {
        settings.InstallDir = SilentDestination(options.destination);
        if (settings.InstallDir.empty()) return kSilentBadDestination;
        settings.InstallFolderName = InstallFolderNameOf(settings.InstallDir);
    }
    // Without File lines the pages never show the destination either.
    if (options.hasDestination || !settings.HasFiles.empty()) {
        const int destination = CheckDestination(settings);
        if (destination != kSilentDone) return destination;
    }
    CProgressInstall engine;
    const int result = RunToExitCode(engine);
    if (result == kSilentDone && WantsRestart(settings)) return kSilentDoneRestartNeeded;
    return result;
}

}  // namespace

int RunSilentSetup(const SetupOptions &options) {
    if (!options.understood) return kSilentBadCommandLine;
    if (ProcessSetupSettings().Mode == SetupMode::Install) return InstallSilently(options);
    const SetupSettings &settings = ProcessSetupSettings();
    // Running in place (no copy could be made), it holds that file itself.
    if (!MustMoveOut(settings.InstallDir, GetProgramFolder())) WaitForInstalledUninstaller(settings);
    CProgressUninstall engine;
    return RunToExitCode(engine);
}
