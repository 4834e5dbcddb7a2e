#include "updater/transfer/download_paths.h"

#include "common/text.h"

namespace {

std::wstring CollapseLocal(const std::wstring &path) {
    return ReplaceUntilGone(ReplaceAll(path, L"/", L"\\"), L"\\\\", L"\\");
}

std::wstring CollapseServer(const std::wstring &path) {
    return ReplaceUntilGone(ReplaceAll(path, L"\\", L"/"), L"//", L"/");
}

// "host/a/b/file": host and "/a/b/" (empty when the text names no folder).
void SplitRemote(const std::wstring &remote, std::wstring &server, std::wstring &folder) {
    size_t hostStart = 0;
    const size_t scheme = remote.find(L"://");
    if (scheme != std::wstring::npos) hostStart = scheme + 3;
    const size_t slash = remote.find(L'/', hostStart);
    if (slash == std::wstring::npos) {
        server = remote.substr(hostStart);
        folder.clear();
        return;
    }
    server = remote.substr(hostStart, slash - hostStart);
    const std::wstring rest = remote.substr(slash);
    folder = rest.substr(0, rest.rfind(L'/') + 1);
}

}  // namespace

DownloadPaths SplitDownloadPaths(const std::wstring &local, const std::wstring &remote,
                                 const std::wstring &programFolder) {
    DownloadPaths paths;
    if (!local.empty()) {
        std::wstring full = CollapseLocal(local);
        if (full.find(L":\\") == std::wstring::npos) {
            // One backslash between the program folder and a relative path, whether
            // or not the path begins with one.
            std::wstring base = StripTrailing(programFolder, L'\\');
            full = full.empty() || full[0] != L'\\' ? base + L"\\" + full : base + full;
        }
        const int cut = FindLastChar(full, L'\\');
        paths.localFolder = full.substr(0, size_t(cut + 1));
        paths.localName = full.substr(size_t(cut + 1));
    }
    SplitRemote(remote, paths.server, paths.serverFolder);
    if (!paths.localName.empty()) {
        paths.fileName = paths.localName;
    } else {
        paths.fileName = remote.substr(remote.rfind(L'/') == std::wstring::npos
                                           ? remote.size()
                                           : remote.rfind(L'/') + 1);
        paths.localName = paths.fileName;
    }
    paths.serverFolder = CollapseServer(paths.serverFolder);
    paths.localFolder = CollapseLocal(paths.localFolder);
    return paths;
}

std::wstring DownloadTitle(const std::wstring &local) {
    const std::wstring path = CollapseLocal(local);
    const int cut = FindLastChar(path, L'\\');
    return path.substr(size_t(cut + 1));
}
