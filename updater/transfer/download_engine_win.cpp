#include "updater/transfer/download_engine_win.h"

#include <memory>
#include <vector>

#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "common/text.h"
#include "common/win32_error_win.h"
#include "updater/transfer/download_paths.h"
#include "updater/transfer/download_texts.h"
#include "updater/transfer/ftp_connection_win.h"

namespace {

// Rest between reads that brought nothing, so that waiting for data does not
// take a whole processor.
constexpr DWORD kIdleRestMs = 10;

bool IsDotEntry(const wchar_t *name) {
    return (name[0] == L'.' && name[1] == 0) || (name[0] == L'.' && name[1] == L'.' && name[2] == 0);
}

uint64_t FileSizeOf(const std::wstring &path, bool &exists) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    exists = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
             !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return exists ? (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
}

}  // namespace

UINT ProgressFtpMessage() {
    static const UINT message = RegisterWindowMessageW(L"CProgressFtp::WM_DOWNLOAD");
    return message;
}

UINT SliderFtpMessage() {
    static const UINT message = RegisterWindowMessageW(L"CSliderFtp::WM_DOWNLOAD");
    return message;
}

// One run of the worker: everything it opens lives here and is closed when
// the run ends, whichever way it ends.
class CDownloadEngine::Run : public TransferPorts {
public:
    Run(CDownloadEngine &engine, DownloadPaths paths, FtpEndpoint endpoint, bool binary,
        uint32_t readSize)
        : engine_(engine), paths_(std::move(paths)), endpoint_(std::move(endpoint)),
          binary_(binary), readSize_(readSize) {}

    void Execute() {
        engine_.texts_.Set(DownloadTexts());
        switch (OpenFtpConnection(endpoint_, kFtpDownloadTimeouts, session_, connection_,
                                  [this] { return StopRequested(); })) {
            case FtpConnectResult::kConnected: break;
            case FtpConnectResult::kStopped: return End(kWorkerStopped);
            case FtpConnectResult::kFailed: return Fail(download_text::kConnectFailed);
        }
        if (!FtpSetCurrentDirectoryW(connection_.Get(), paths_.serverFolder.c_str()))
            return Fail(download_text::kFolderNotFound);
        if (StopRequested()) return End(kWorkerStopped);

        RemoteSize size;
        switch (ListSize(connection_, size, true)) {
            case Lookup::Listed: break;
            case Lookup::Stopped: return End(kWorkerStopped);
            case Lookup::AlreadyComplete:
                // The end notice alone says so; the window reads the position with it.
                engine_.position_.Set(DownloadPosition{size.bytes, size, true});
                return End(kWorkerFinished);
        }
        engine_.position_.Set(DownloadPosition{0, size, false});
        if (!OpenRemoteFile()) return Fail(download_text::kOpenFailed);
        if (StopRequested()) return End(kWorkerStopped);

        clockBase_ = GetTickCount();
        if (!CreateFolderPath(paths_.localFolder)) return Fail(download_text::kCreateFailed);
        local_.Reset(CreateFileW(paths_.LocalFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!local_) return Fail(download_text::kCreateFailed);

        TransferEnd end = RunTransfer(*this, size, readSize_);
        // A read that a stop request waited out ends as the stop it was.
        if ((end == TransferEnd::ReadFailed || end == TransferEnd::Silent) && StopRequested())
            end = TransferEnd::Stopped;
        if (end != TransferEnd::Finished) DeleteLocalFile();
        switch (end) {
            case TransferEnd::Finished:
                local_.Reset();
                CloseServer();
                engine_.position_.Update([](DownloadPosition &position) { position.complete = true; });
                return End(kWorkerFinished);
            case TransferEnd::Stopped: return End(kWorkerStopped);
            case TransferEnd::ReadFailed:
            case TransferEnd::Silent: return Fail(download_text::kReadFailed);
            case TransferEnd::WriteFailed: return Fail(download_text::kWriteFailed);
        }
    }

    // --- TransferPorts ---
    bool StopRequested() override { return engine_.worker_.StopRequested(); }

    bool Read(void *buffer, uint32_t capacity, uint32_t &got) override {
        DWORD read = 0;
        if (!InternetReadFile(remote_.Get(), buffer, capacity, &read)) return false;
        got = read;
        return true;
    }

    bool Write(const void *data, uint32_t length) override {
        DWORD written = 0;
        return WriteFile(local_.Get(), data, length, &written, nullptr) && written == length;
    }

    uint64_t NowMs() override {
        // GetTickCount wraps after 49 days; its differences do not.
        const DWORD now = GetTickCount();
        clock_ += DWORD(now - clockBase_);
        clockBase_ = now;
        return clock_;
    }

    void Idle() override { Sleep(kIdleRestMs); }

    void Refresh(const TransferStatus &status) override {
        engine_.texts_.Update([&](DownloadTexts &texts) {
            texts.speed = status.speedText;
            texts.size = status.sizeText;
        });
        Publish(status.received, status.size, false);
    }

    RecheckResult Recheck(RemoteSize &size) override {
        // The open server file keeps its own connection; the listing gets a new one.
        checkSession_.Close();
        checkConnection_.Close();
        switch (OpenFtpConnection(endpoint_, kFtpDownloadTimeouts, checkSession_, checkConnection_,
                                  [this] { return StopRequested(); })) {
            case FtpConnectResult::kConnected: break;
            case FtpConnectResult::kStopped: return RecheckResult::Stopped;
            case FtpConnectResult::kFailed: return RecheckResult::Failed;
        }
        if (!FtpSetCurrentDirectoryW(checkConnection_.Get(), paths_.serverFolder.c_str()))
            return RecheckResult::Failed;
        if (StopRequested()) return RecheckResult::Stopped;
        RemoteSize listed;
        if (ListSize(checkConnection_, listed, false) == Lookup::Stopped)
            return RecheckResult::Stopped;
        size = listed;
        if (listed.known)
            engine_.position_.Update([&](DownloadPosition &position) { position.size = listed; });
        return RecheckResult::Checked;
    }

    bool Resume(uint64_t offset) override {
        // The rest comes over the re-check's connection. WinInet offers no way to
        // start a transfer at an offset that every client honours (a REST sent
        // through FtpCommand is not kept by all of them), so the file is fetched
        // anew and what already arrived is read past.
        if (!checkConnection_) return false;
        remote_.Close();
        connection_ = std::move(checkConnection_);
        session_ = std::move(checkSession_);
        if (!OpenRemoteFile()) return false;
        std::vector<unsigned char> skip(kTransferBlock);
        for (uint64_t left = offset; left > 0;) {
            if (StopRequested()) return false;
            DWORD read = 0;
            const DWORD want = left < skip.size() ? DWORD(left) : DWORD(skip.size());
            if (!InternetReadFile(remote_.Get(), skip.data(), want, &read) || read == 0) return false;
            left -= read;
        }
        return true;
    }

private:
    enum class Lookup { Listed, AlreadyComplete, Stopped };

    void Publish(uint64_t received, const RemoteSize &size, bool complete) {
        engine_.position_.Set(DownloadPosition{received, size, complete});
        engine_.worker_.NotifyProgress(kWorkerProgress);
    }

    void End(LPARAM notice) {
        CloseServer();
        engine_.worker_.NotifyEnd(notice);
    }

    void Fail(const LocalizedText &text) {
        // The user sees the product's text; the debugger output says what the system said.
        const DWORD error = GetLastError();
        const std::wstring trace = L"Tessel download of " + paths_.fileName + L": " +
                                   text.english + L" (" + Win32ErrorText(error) + L")\n";
        OutputDebugStringW(trace.c_str());
        engine_.texts_.Update([&](DownloadTexts &texts) { texts.error = Localized(text); });
        End(kWorkerFailed);
    }

    void CloseServer() {
        remote_.Close();
        connection_.Close();
        session_.Close();
        checkConnection_.Close();
        checkSession_.Close();
    }

    void DeleteLocalFile() {
        if (!local_) return;
        local_.Reset();
        DeleteFileW(paths_.LocalFile().c_str());
    }

    bool OpenRemoteFile() {
        const DWORD type = binary_ ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
        remote_.Reset(FtpOpenFileW(connection_.Get(), paths_.fileName.c_str(), GENERIC_READ,
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | type, 0));
        return static_cast<bool>(remote_);
    }

    // Lists the server folder for the file (by its name, then "*.*") and takes
    // the size of the entry whose name matches, letter case ignored.
    Lookup ListSize(CInternetHandle &connection, RemoteSize &size, bool compareLocal) {
        size = RemoteSize();
        WIN32_FIND_DATAW entry{};
        CInternetHandle find(FtpFindFirstFileW(connection.Get(), paths_.fileName.c_str(), &entry,
                                               INTERNET_FLAG_RELOAD, 0));
        if (!find)
            find.Reset(FtpFindFirstFileW(connection.Get(), L"*.*", &entry, INTERNET_FLAG_RELOAD, 0));
        if (!find) return Lookup::Listed;
        do {
            const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (!IsDotEntry(entry.cFileName) && !folder &&
                EqualsNoCase(entry.cFileName, paths_.fileName)) {
                size.known = true;
                size.bytes = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
                if (compareLocal) {
                    bool exists = false;
                    const uint64_t local = FileSizeOf(paths_.LocalFile(), exists);
                    if (exists && local == size.bytes) return Lookup::AlreadyComplete;
                }
                return Lookup::Listed;
            }
            if (StopRequested()) return Lookup::Stopped;
        } while (InternetFindNextFileW(find.Get(), &entry));
        return Lookup::Listed;
    }

    CDownloadEngine &engine_;
    const DownloadPaths paths_;
    const FtpEndpoint endpoint_;
    const bool binary_;
    const uint32_t readSize_;
    CInternetHandle session_, connection_, remote_;
    CInternetHandle checkSession_, checkConnection_;
    CKernelHandle local_;
    DWORD clockBase_ = 0;
    uint64_t clock_ = 0;
};

CDownloadEngine::CDownloadEngine(UINT message) : message_(message) {}

bool CDownloadEngine::Start(HWND parent, const std::wstring &local, const std::wstring &remote,
                            int port, const std::wstring &user, const std::wstring &password,
                            bool binary) {
    Stop();
    DownloadPaths paths = SplitDownloadPaths(local, remote, GetProgramFolder());
    FtpEndpoint endpoint{paths.server, port == 0 ? 21 : port, user, password};
    texts_.Set(DownloadTexts());
    position_.Set(DownloadPosition());
    auto run =
        std::make_shared<Run>(*this, std::move(paths), std::move(endpoint), binary, readSize_);
    return worker_.Start(parent, message_, [run] { run->Execute(); });
}

void CDownloadEngine::Stop() { worker_.Stop(); }

DownloadTexts CDownloadEngine::Texts() const {
    worker_.ProgressRead();
    return texts_.Get();
}

DownloadPosition CDownloadEngine::Position() const {
    worker_.ProgressRead();
    return position_.Get();
}
