#include <windows.h>

#include <deque>

#include "common/registry_key.h"
#include "common/shortcut_path.h"
#include "common/shortcuts.h"
#include "common/text.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_archive.h"
#include "setup/engine/close_application_win.h"
#include "setup/engine/engine_control_win.h"
#include "setup/engine/engine_job_win.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/setup_startup.h"
#include "setup/script/value_escaping.h"

namespace {

// Deletes a recorded file, read-only ones included (the installation may have
// made them so); a file that stays keeps its attributes.
void DeleteRecordedFile(const std::wstring &path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (!DeleteFileW(path.c_str()) && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes);
}

// RemoveDirectoryW removes only empty folders.
void RemoveEmptyFolder(const std::wstring &path) {
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'/' || folder.back() == L'\\')) folder.pop_back();
    if (folder.size() > 3 && IsFullyQualifiedPath(folder)) RemoveDirectoryW(folder.c_str());
}

class UninstallJob : public SetupEngineJob {
public:
    UninstallJob(const SetupSettings &settings, std::wstring package)
        : SetupEngineJob(settings, std::move(package)) {}

    void Run(EngineChannel &channel) override {
        channel.BeginProgress();
        if (std::unique_ptr<PayloadReader> record = OpenPayload(kUninstallerIdentifier)) {
            channel.PayloadOpened();
            const bool complete = RemoveEntries(*record, channel);
            for (const std::wstring &folder : folderList_) RemoveEmptyFolder(folder);
            RemoveEmptyFolder(settings_.InstallDir);
            record.reset();
            // After a stop the product stays registered, so that its
            // uninstaller can be run again for what is left.
            if (complete) {
                const std::wstring key = UninstallKeyPath(UnescapeValue(settings_.Title));
                if (!key.empty()) CRegistryKey::DeleteKey(key);
            }
        }
        folderList_.clear();
        channel.Finished();
    }

private:
    // False when a stop request ended the walk before its last entry.
    bool RemoveEntries(PayloadReader &record, EngineChannel &channel) {
        const int count = record.Count();
        double done = 0;
        for (int index = 0; index < count; ++index) {
            if (channel.StopRequested()) return false;
            if (const PayloadEntryInfo *entry = ReadEntry(record, index)) {
                RecordAction action = ParseRecordEntry(entry->name);
                switch (action.kind) {
                case RecordAction::Kind::File: RemoveFile(action, channel); break;
                case RecordAction::Kind::Registry: RemoveValue(action); break;
                case RecordAction::Kind::Shortcut: RemoveShortcut(action); break;
                case RecordAction::Kind::None: break;
                }
            }
            done += 1;
            channel.Progress(done, count);
        }
        return true;
    }

    // Null for an entry whose header cannot be read: it is skipped.
    static const PayloadEntryInfo *ReadEntry(PayloadReader &record, int index) {
        try {
            return &record.Entry(index);
        } catch (const CZipException &) {
            return nullptr;
        }
    }

    void RemoveFile(const RecordAction &action, EngineChannel &channel) {
        const std::wstring path = Expand(action.first + L"\\" + action.second);
        if (!path.empty() && path.back() == L'/') {
            // Walked from the head after every file is gone: inner folders first.
            folderList_.push_front(path);
            return;
        }
        channel.ItemChanged(path);
        if (path.size() > 3 && IsFullyQualifiedPath(path)) DeleteRecordedFile(path);
    }

    // The folders the installation made for the shortcut go too, once empty, so
    // that no empty product group is left in the Start menu.
    // A record line whose path would leave its special folder is skipped whole.
    static void RemoveShortcut(const RecordAction &action) {
        const std::wstring folder = UnescapeValue(action.first), name = UnescapeValue(action.second);
        if (!IsShortcutPathAllowed(folder, name)) return;
        DeleteShortcut(folder, name);
        RemoveEmptyShortcutFolders(folder);
    }

    void RemoveValue(const RecordAction &action) {
        const std::wstring keyPath = Expand(action.first), value = Expand(action.second);
        CRegistryKey key;
        if (key.Open(keyPath)) {
            key.DeleteValue(value);
            key.Close();
        }
        std::wstring rootName, rest;
        // A key this process may not read could hold anything: it stays.
        if (SplitRootPrefix(keyPath, rootName, rest) &&
            CRegistryKey::IsEmptyKey(RegistryRootKey(rootName), rest))
            CRegistryKey::DeleteKey(keyPath);
    }

    std::deque<std::wstring> folderList_;
};

}  // namespace

CProgressUninstall::CProgressUninstall() = default;

CProgressUninstall::CProgressUninstall(EngineSource source) : CEngineControl(std::move(source)) {}

UINT CProgressUninstall::Message() const {
    static const UINT message = RegisterWindowMessageW(L"CProgressUninstall::WM_UNZIP");
    return message;
}

void CProgressUninstall::CloseProduct(const SetupSettings &settings) {
    // The record keeps General values escaped.
    CloseRunningApplication(UnescapeValue(settings.Name), UnescapeValue(settings.Title));
}

std::unique_ptr<EngineJob> CProgressUninstall::MakeJob(const SetupSettings &settings,
                                                       const std::wstring &package) {
    return std::unique_ptr<EngineJob>(new UninstallJob(settings, package));
}
