#include <windows.h>
#include <shlobj.h>

#include "common/system_folders.h"
#include "setup/archive/payload_archive.h"
#include "setup/script/setup_startup.h"

namespace {

std::wstring SpecialFolder(int id) {
    std::wstring path;
    GetSpecialFolder(path, nullptr, id);
    return path;
}

}  // namespace

bool ReadSetupSettingsFrom(const std::wstring &program, SetupSettings &settings) {
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
    ArchiveHandle archive = OpenArchive(where.path.c_str(), 0, DWORD(where.offset), kArchivePath);
    if (archive) {
        ArchiveEntry entry = {};
        if (GetEntry(archive, -1, &entry) == archive_result::kOk) {
            for (LONG i = 0; i < entry.index; ++i) {
                ArchiveEntry e = {};
                if (GetEntry(archive, int(i), &e) != archive_result::kOk) continue;
                reader.AddEntry(e.name, double(e.uncompressedSize));
            }
        }
    }
    reader.Finish();
    if (archive) CloseArchive(archive);
    return true;
}

bool ReadSetupSettings() {
    return ReadSetupSettingsFrom(GetProgramFile(), ProcessSetupSettings());
}
