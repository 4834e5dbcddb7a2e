#include <windows.h>

#include "common/ansi_text_win.h"
#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/registry_key.h"
#include "common/shortcut_path.h"
#include "common/shortcuts.h"
#include "common/text.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_archive.h"
#include "setup/engine/close_application_win.h"
#include "setup/engine/engine_control_win.h"
#include "setup/engine/engine_job_win.h"
#include "setup/engine/install_script.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/script_line.h"
#include "setup/script/setup_startup.h"
#include "setup/script/value_escaping.h"

namespace {

// What the extraction callback moves the bar with.
struct ProgressRecord {
    double total = 0;
    double done = 0;
    EngineChannel *owner = nullptr;
};

class InstallJob : public SetupEngineJob {
public:
    InstallJob(const SetupSettings &settings, std::wstring package)
        : SetupEngineJob(settings, std::move(package)) {}

    void Run(EngineChannel &channel) override {
        channel.BeginProgress();
        progress_ = ProgressRecord{settings_.RequiredBytes, 0, &channel};
        if (std::unique_ptr<PayloadReader> archive = OpenPayload(kInstallerIdentifier)) {
            channel.PayloadOpened();
            InstallEntries(*archive, channel);
        }
        if (!uninstaller_.empty()) {
            AppendRecord();
            Register();
        }
        lists_.Clear();
        channel.Finished();
    }

private:
    // The engine asks of an entry only whether it was stopped; damaged data
    // counts as any other failure.
    EntryFileResult Extract(PayloadReader &archive, int index, const std::wstring &target,
                            EngineChannel &channel) {
        try {
            return ExtractPayloadEntry(archive, index, target, channel.StopEvent(), [this](uint32_t n) {
                progress_.done += n;
                progress_.owner->Progress(progress_.done, progress_.total);
                return true;
            });
        } catch (const CZipException &) {
            return EntryFileResult::Failed;
        }
    }

    void InstallEntries(PayloadReader &archive, EngineChannel &channel) {
        for (int index = 0; index < archive.Count() && !channel.StopRequested(); ++index) {
            PayloadEntryInfo entry;
            try {
                entry = archive.Entry(index);
            } catch (const CZipException &) {
                continue;
            }
            const std::wstring name = StripTrailing(entry.name, L'/');
            const size_t slash = name.find(L'/');
            if (slash == 0) continue;
            const bool folder = entry.IsFolder();
            if (slash == std::wstring::npos) {
                if (EqualsNoCase(name, kUninstallerEntryName))
                    InstallUninstaller(archive, index, channel);
                continue;
            }
            const std::wstring section = name.substr(0, slash);
            if (EqualsNoCase(section, L"File"))
                InstallFile(archive, index, name.substr(slash + 1), folder, channel);
            else if (EqualsNoCase(section, L"Registry"))
                WriteRegistryValue(name);
            else if (EqualsNoCase(section, L"Shortcut"))
                MakeShortcut(name);
        }
    }

    void InstallUninstaller(PayloadReader &archive, int index, EngineChannel &channel) {
        const std::wstring target = UnescapeValue(settings_.InstallDir + L"\\" + kUninstallerEntryName);
        CreateFolderPath(UnescapeValue(settings_.InstallDir));
        // A stopped extraction leaves part of a program: it gets no record and
        // the product no Uninstall key that would start it.
        const EntryFileResult result = Extract(archive, index, target, channel);
        if (result != EntryFileResult::Stopped && result != EntryFileResult::Declined)
            uninstaller_ = target;
    }

    void InstallFile(PayloadReader &archive, int index, const std::wstring &remainder,
                     bool folder, EngineChannel &channel) {
        FileTarget target;
        if (!ParseFileTarget(remainder, folder, target)) return;
        lists_.files.push_back({target.folder, target.relative});
        const std::wstring full = Expand(target.folder + L"\\" + target.relative);
        channel.ItemChanged(full);
        if (folder) {
            CreateFolderPath(full);
            return;
        }
        size_t last = full.rfind(L'\\');
        if (last != std::wstring::npos) CreateFolderPath(full.substr(0, last));
        Extract(archive, index, full, channel);
    }

    void WriteRegistryValue(const std::wstring &name) {
        RegistryLine line = ParseRegistryLine(name);
        if (!line.keyPath.empty() && !line.valueName.empty())
            lists_.registry.push_back({line.keyPath, line.valueName});
        const std::wstring key = Expand(line.keyPath), value = Expand(line.valueName),
                           data = Expand(line.data), type = Expand(line.type);
        if (key.empty() || value.empty()) return;
        const bool text = EqualsNoCase(type, L"REG_SZ");
        if (!text && !EqualsNoCase(type, L"REG_DWORD")) return;
        CRegistryKey registry;
        if (!registry.Open(key) && !registry.Create(key)) return;
        if (text)
            registry.SetValue(value, data, REG_SZ);
        else
            registry.SetValue(value, DWORD(ParseDwordData(NarrowAnsi(data))), REG_DWORD);
        registry.Close();
    }

    void MakeShortcut(const std::wstring &name) {
        ShortcutLine line = ParseShortcutLine(name);
        if (!line.folder.empty() && !line.name.empty() && !line.target.empty())
            lists_.shortcuts.push_back({line.folder, line.name});
        const std::wstring folder = Expand(line.folder), link = Expand(line.name),
                           description = Expand(line.description), target = Expand(line.target),
                           arguments = Expand(line.arguments);
        if (target.empty() || !IsShortcutPathAllowed(folder, link)) return;
        CreateShortcut(folder, link, description, target, arguments, WorkingFolderOf(target), 0,
                       true);
    }

    // The record goes after the uninstaller's image, behind the uninstaller
    // marker. A file that cannot be opened for writing (a read-only entry)
    // gets none.
    void AppendRecord() {
        // Windows refuses write access to a read-only file; a privileged user on
        // some file systems would get it anyway, and the file must stay as extracted.
        DWORD attributes = GetFileAttributesW(uninstaller_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return;
        CKernelHandle file(CreateFileW(uninstaller_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        // A record that fails midway stays incomplete, as any failed write of
        // the engine does.
        try {
            CRecordAppender record(file.Get(), kUninstallerIdentifier);
            for (const std::wstring &line : UninstallRecordLines(settings_, lists_))
                if (!line.empty()) record.AddFolderEntry(line);
            record.Close();
        } catch (const CZipException &) {
        }
    }

    void Register() {
        const std::wstring path = UninstallKeyPath(settings_.Title);
        if (path.empty()) return;
        CRegistryKey key;
        if (!key.Open(path) && !key.Create(path)) return;
        key.SetValue(L"DisplayName", ProductCaption(settings_), REG_SZ);
        if (!settings_.Version.empty()) key.SetValue(L"DisplayVersion", settings_.Version, REG_SZ);
        const std::wstring uninstall = UninstallCommandLine(settings_.InstallDir);
        key.SetValue(L"UninstallString", uninstall, REG_SZ);
        key.SetValue(L"QuietUninstallString", uninstall + L" /S", REG_SZ);
        key.Close();
    }

    ProgressRecord progress_;
    RecordLists lists_;
    std::wstring uninstaller_;  // where the uninstaller was extracted to
};

}  // namespace

CProgressInstall::CProgressInstall() = default;

CProgressInstall::CProgressInstall(EngineSource source) : CEngineControl(std::move(source)) {}

UINT CProgressInstall::Message() const {
    static const UINT message = RegisterWindowMessageW(L"CProgressInstall::WM_UNZIP");
    return message;
}

void CProgressInstall::CloseProduct(const SetupSettings &settings) {
    CloseRunningApplication(settings.Name, settings.Title);
}

std::unique_ptr<EngineJob> CProgressInstall::MakeJob(const SetupSettings &settings,
                                                     const std::wstring &package) {
    return std::unique_ptr<EngineJob>(new InstallJob(settings, package));
}
