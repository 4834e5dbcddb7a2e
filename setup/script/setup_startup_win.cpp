#include <windows.h>
#include <shlobj.h>

#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_archive.h"
#include "setup/script/program_file.h"
#include "setup/script/setup_startup.h"

namespace {

std::wstring SpecialFolder(int id) {
    std::wstring path;
    GetSpecialFolder(path, nullptr, id);
    return path;
}

// Every entry name as a script line; an archive that cannot be read, or an
// entry whose header is damaged, adds nothing.
void ReadScriptLines(HANDLE program, SetupScriptReader &reader) {
    try {
        std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(program);
        for (int i = 0; i < archive->Count(); ++i) {
            try {
                const PayloadEntryInfo &entry = archive->Entry(i);
                reader.AddEntry(entry.name, double(entry.uncompressedSize));
            } catch (const CZipException &) {
            }
        }
    } catch (const CZipException &) {
    }
}

}  // namespace

bool ReadSetupSettingsFrom(HANDLE program, SetupSettings &settings) {
    settings = SetupSettings();
    settings.ProgramFilesDir = SpecialFolder(CSIDL_PROGRAM_FILES);
    settings.WindowsDir = SpecialFolder(CSIDL_WINDOWS);
    settings.SystemDir = SpecialFolder(CSIDL_SYSTEM);

    PayloadLocation where = LocatePayloadIn(program, kInstallerIdentifier);
    settings.Mode = SetupMode::Install;
    if (!where.found) {
        where = LocatePayloadIn(program, kUninstallerIdentifier);
        settings.Mode = SetupMode::Uninstall;
    }
    if (!where.found) {
        settings.Mode = SetupMode::None;
        return false;
    }

    SetupScriptReader reader(settings, TraceSetup);
    // The archive is found from the file's end; a package whose archive cannot
    // be read still opens its wizard, with empty settings.
    ReadScriptLines(program, reader);
    reader.Finish();
    return true;
}

bool ReadSetupSettingsFrom(const std::wstring &program, SetupSettings &settings) {
    CKernelHandle file(CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return ReadSetupSettingsFrom(file.Get(), settings);
}

bool ReadSetupSettings() { return ReadSetupSettingsFrom(ProgramFileHandle(), ProcessSetupSettings()); }
