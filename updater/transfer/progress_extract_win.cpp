#include "updater/transfer/progress_extract_win.h"

#include <commctrl.h>

#include <cwctype>

#include "common/folders.h"
#include "common/localized_text.h"
#include "common/progress_position.h"
#include "updater/transfer/extract_texts.h"

// What the block callback moves the bar with.
struct CProgressExtract::Progress {
    double total = 0;
    double done = 0;
    int position = 0;
    CProgressExtract *control = nullptr;
};

UINT CProgressExtract::Message() {
    static const UINT message = RegisterWindowMessageW(L"CProgressExtract::WM_EXTRACT");
    return message;
}

void CProgressExtract::Attach(HWND progressBar, HWND notifyWindow) {
    bar_ = progressBar;
    notify_ = notifyWindow ? notifyWindow : bar_ ? GetParent(bar_) : nullptr;
    if (bar_) SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
}

void CProgressExtract::ShowPosition() {
    worker_.ProgressRead();
    if (bar_) SendMessageW(bar_, PBM_SETPOS, WPARAM(position_.Get()), 0);
}

bool CProgressExtract::Start(const std::wstring &destination, const std::wstring &archivePath) {
    Stop();
    position_.Set(0);
    if (bar_) SendMessageW(bar_, PBM_SETPOS, 0, 0);
    reader_.reset(new CZipReader());
    destination_ = destination;
    archivePath_ = archivePath;
    errorText_.Set(std::wstring());
    if (worker_.Start(notify_, Message(), [this] { Run(); })) return true;
    reader_.reset();
    return false;
}

void CProgressExtract::Stop() {
    worker_.Stop();
    reader_.reset();
}

bool CProgressExtract::OnBlockWritten(DWORD, DWORD bytesWritten, void *data) {
    Progress &progress = *static_cast<Progress *>(data);
    progress.done += bytesWritten;
    const int position = ProgressPosition(progress.done, progress.total);
    if (position != progress.position) {
        progress.position = position;
        progress.control->position_.Set(position);
        progress.control->worker_.NotifyProgress(kWorkerProgress);
    }
    return true;
}

void CProgressExtract::Fail(const std::wstring &text) {
    errorText_.Set(text);
    worker_.NotifyEnd(kWorkerFailed);
}

void CProgressExtract::Run() {
    CZipReader &reader = *reader_;
    try {
        reader.Open(archivePath_);
    } catch (...) {
        return Fail(Localized(kCannotOpenInstallationFiles));
    }
    const int count = reader.GetCount();
    Progress progress;
    progress.control = this;
    for (int i = 0; i < count; ++i) {
        ZipFileHeader header;
        if (reader.GetFileInfo(i, header)) progress.total += header.uncompressedSize;
    }
    // When the drive cannot tell its free space (no drive letter, a network
    // path), the run goes on: a write that fails still fails the entry.
    unsigned long long freeBytes = 0;
    if (GetDriveFreeBytes(destination_, freeBytes) && double(freeBytes) < progress.total) {
        reader.Close(true);
        return Fail(DiskSpaceMessage(progress.total, GetSystemDefaultLangID()));
    }
    const HANDLE events[2] = {worker_.StopEvent(), nullptr};
    for (int i = 0; i < count; ++i) {
        // Every entry finds its destination made again if it went; asking
        // first keeps that to one call while it is there.
        if (GetFileAttributesW(destination_.c_str()) == INVALID_FILE_ATTRIBUTES)
            CreateFolderPath(destination_);
        const int r = reader.ExtractEntry(i, destination_, events, OnBlockWritten, &progress, kBufferSize);
        if (r < 0) {
            reader.Close(true);
            return worker_.NotifyEnd(kWorkerStopped);
        }
        if (r > 0) {
            reader.Close(true);
            return Fail(Localized(kCopyingInstallationFilesFailed));
        }
    }
    reader.Close(true);
    worker_.NotifyEnd(kWorkerFinished);
}

bool GetDriveFreeBytes(const std::wstring &folder, unsigned long long &freeBytes) {
    freeBytes = 0;
    if (folder.size() < 2 || folder[1] != L':' || !iswalpha(folder[0])) return false;
    const std::wstring root = folder.substr(0, 2) + L"\\";
    ULARGE_INTEGER available, total, totalFree;
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &totalFree)) return false;
    freeBytes = totalFree.QuadPart;
    return true;
}
