#include "common/zip/entry_file_win.h"

#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/paths.h"
#include "common/system_function_win.h"
#include "common/zip/handle_stream_win.h"
#include "common/zip/zip_attributes.h"

namespace {

// A program that is ending (the Tessel that started its own setup, a program
// just closed for its package) holds its file for a moment more.
constexpr DWORD kInUseWaitMs = 5000;
constexpr DWORD kInUseStepMs = 100;

HANDLE CreateAnew(const std::wstring &path) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (DWORD waited = 0;; waited += kInUseStepMs) {
        file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION || waited >= kInUseWaitMs)
            return file;
        Sleep(kInUseStepMs);
    }
}

// The file is tried first and its folders made or an earlier copy's
// protection lifted only when that failed, so the common case costs one call.
HANDLE CreateTarget(const std::wstring &target, const EntryFileRules &rules) {
    HANDLE file = CreateAnew(target);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND && rules.makeFolders) {
        const std::wstring normal = NormaliseLocalPath(target);
        const size_t slash = normal.rfind(L'\\');
        if (slash == std::wstring::npos || slash == 0 || !CreateFolderPath(normal.substr(0, slash)))
            return INVALID_HANDLE_VALUE;
    } else if (error == ERROR_ACCESS_DENIED && rules.replaceProtected) {
        const DWORD existing = GetFileAttributesW(target.c_str());
        if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) ||
            !SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL))
            return INVALID_HANDLE_VALUE;
    } else {
        return INVALID_HANDLE_VALUE;
    }
    return CreateAnew(target);
}

LARGE_INTEGER AsLarge(const FILETIME &time) {
    LARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return value;
}

// FILE_BASIC_INFO and SetFileInformationByHandle (Windows Vista on; looked up
// at run time so that the programs still start on XP).
struct BasicFileInfo {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;
    DWORD fileAttributes;
};
constexpr int kFileBasicInfoClass = 0;
using SetInformationByHandle = BOOL(WINAPI *)(HANDLE, int, void *, DWORD);

SetInformationByHandle FindSetInformationByHandle() {
    static const auto function =
        FindSystemFunction<SetInformationByHandle>(L"kernel32.dll", "SetFileInformationByHandle");
    return function;
}

// Setting attributes by path costs as much as creating the file under Wine,
// so the handle that wrote the data takes times and attributes in one call
// where it can; it is closed here either way.
bool Stamp(CKernelHandle &file, const std::wstring &target, const EntryFileStamp &stamp) {
    const DWORD attributes = SettableFileAttributes(stamp.attributes);
    SetInformationByHandle setInformation = FindSetInformationByHandle();
    if (file && setInformation) {
        BasicFileInfo info = {};
        info.creationTime = AsLarge(stamp.creation);
        info.lastAccessTime = AsLarge(stamp.access);
        info.lastWriteTime = AsLarge(stamp.lastWrite);
        info.fileAttributes = attributes;
        if (setInformation(file.Get(), kFileBasicInfoClass, &info, sizeof info)) {
            file.Reset();
            return true;
        }
    }
    if (file) SetFileTime(file.Get(), &stamp.creation, &stamp.access, &stamp.lastWrite);
    file.Reset();
    return SetFileAttributesW(target.c_str(), attributes) != FALSE;
}

}  // namespace

EntryFileResult WriteEntryFile(const std::wstring &target, const EntryFileStamp &stamp,
                               const EntryFileRules &rules,
                               const std::function<zip::ChunkOutcome(ByteStream &out)> &copy) {
    CKernelHandle file(CreateTarget(target, rules));
    if (!file) return EntryFileResult::Failed;
    zip::ChunkOutcome outcome;
    {
        HandleStream out(file.Get(), false);
        outcome = copy(out);
    }
    switch (outcome) {
    case zip::ChunkOutcome::Finished:
        return Stamp(file, target, stamp) ? EntryFileResult::Written : EntryFileResult::Failed;
    case zip::ChunkOutcome::Stopped: return EntryFileResult::Stopped;
    case zip::ChunkOutcome::Declined: return EntryFileResult::Declined;
    case zip::ChunkOutcome::WriteFailed: break;
    }
    return EntryFileResult::Failed;
}

bool StampEntryFile(const std::wstring &target, const EntryFileStamp &stamp) {
    CKernelHandle file(CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    return Stamp(file, target, stamp);
}
