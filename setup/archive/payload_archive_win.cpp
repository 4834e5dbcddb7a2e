#include "setup/archive/payload_archive.h"

#include <algorithm>

#include "common/ansi_text_win.h"
#include "common/folders.h"
#include "common/zip/zip_error.h"
#include "setup/archive/extract_target.h"

namespace {

FILETIME ToFileTime(uint64_t ticks) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

// The payload keeps the entry's own three times.
EntryFileStamp PayloadStamp(const PayloadEntryInfo &info) {
    EntryFileStamp stamp;
    stamp.attributes = info.attributes;
    stamp.creation = ToFileTime(info.creationTime);
    stamp.access = ToFileTime(info.accessTime);
    stamp.lastWrite = ToFileTime(info.modificationTime);
    return stamp;
}

zip::ZipEntryMeta MetaNow() {
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    zip::ZipEntryMeta meta;
    meta.modificationTime = static_cast<uint32_t>(ticks / 10000000 - 11644473600ull);
    WORD dosDate = 0, dosTime = 0;
    if (FileTimeToLocalFileTime(&now, &local) && FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        meta.dosDate = dosDate;
        meta.dosTime = dosTime;
    }
    return meta;
}

}  // namespace

std::unique_ptr<PayloadReader> OpenPayloadArchive(HANDLE file) {
    if (!file || file == INVALID_HANDLE_VALUE) throw CZipException(ZipCause::OpenFailed, "no payload file");
    return std::unique_ptr<PayloadReader>(
        new PayloadReader(std::unique_ptr<ByteStream>(new HandleStream(file, false)), WidenAnsi));
}

EntryFileResult ExtractPayloadEntry(PayloadReader &reader, int index, const std::wstring &target,
                                    HANDLE stopEvent, const zip::ChunkNotice &notice) {
    const PayloadEntryInfo info = reader.Entry(index);
    if (info.IsFolder()) return CreateFolderPath(target) ? EntryFileResult::Written : EntryFileResult::Failed;
    // Never replaces a protected file: the script may have made it so on
    // purpose at an earlier installation.
    const EntryFileRules rules{IsContainedRelativeTarget(target), false};
    return WriteEntryFile(target, PayloadStamp(info), rules, [&](ByteStream &out) {
        return reader.Extract(index, out,
                              [stopEvent] { return stopEvent && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0; },
                              notice);
    });
}

CRecordAppender::CRecordAppender(HANDLE file, const std::wstring &markerId) : out_(file, false) {
    std::string marker = NarrowAnsi(markerId);
    std::reverse(marker.begin(), marker.end());
    if (marker.empty() || !out_.SeekToEnd() || !out_.Write(marker.data(), marker.size()))
        throw CZipException(ZipCause::WriteFailed, "marker not written");
    writer_.reset(new PayloadWriter(out_));
}

void CRecordAppender::AddFolderEntry(const std::wstring &name) {
    writer_->AddFolderEntry(NarrowAnsi(name), MetaNow());
}

void CRecordAppender::Close() { writer_->Close(); }
