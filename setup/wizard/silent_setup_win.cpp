#include "setup/wizard/silent_setup_win.h"

#include <windows.h>

#include <memory>

#include "common/folders.h"
#include "common/system_folders.h"
#include "setup/engine/engine_job_win.h"
#include "setup/engine/engine_control_win.h"
#include "setup/script/script_line.h"
#include "setup/script/setup_settings.h"
#include "setup/script/value_escaping.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/uninstaller_move.h"

namespace {

const wchar_t kWindowClass[] = L"marboSetupSilent";

struct EngineRun {
    std::unique_ptr<CEngineControl> control;
    bool ended = false;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *run = reinterpret_cast<EngineRun *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (run && message == run->control->Message() && wParam == 0) {
        if (lParam == kWorkerProgress)
            run->control->ItemText();  // read, so that the next notice comes
        else
            run->ended = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Runs the engine to its end. False when its worker could not start.
bool RunEngine(EngineRun &run, bool &payloadRead) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, &run);
    if (!window) return false;
    run.control->Attach(nullptr, window);
    const bool started = run.control->Start();
    MSG message;
    while (started && !run.ended && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    run.control->StopWorker();
    payloadRead = run.control->PayloadRead();
    DestroyWindow(window);
    return started;
}

int RunToExitCode(std::unique_ptr<CEngineControl> control) {
    EngineRun run{std::move(control)};
    bool payloadRead = false;
    if (!RunEngine(run, payloadRead)) return kSilentEngineNotStarted;
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
        HANDLE file = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return;
        }
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
    const int result = RunToExitCode(std::unique_ptr<CEngineControl>(new CProgressInstall()));
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
    return RunToExitCode(std::unique_ptr<CEngineControl>(new CProgressUninstall()));
}
