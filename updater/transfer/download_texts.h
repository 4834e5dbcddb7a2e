#ifndef UPDATER_TRANSFER_DOWNLOAD_TEXTS_H
#define UPDATER_TRANSFER_DOWNLOAD_TEXTS_H

#include "common/localized_text.h"

// The download workers' error texts and the Download window's status lines.
namespace download_text {

extern const LocalizedText kConnectFailed;
extern const LocalizedText kFolderNotFound;
extern const LocalizedText kOpenFailed;
extern const LocalizedText kCreateFailed;
extern const LocalizedText kReadFailed;
extern const LocalizedText kWriteFailed;

extern const LocalizedText kDownloadingFiles;  // the status line as the window opens
extern const LocalizedText kDownloadingPrefix;  // before the size text

}  // namespace download_text

#include <string>

// "Downloading: 1.0KB / 1.5KB ( 12.0KB/s ) ", the speed part only once there is one.
std::wstring DownloadStatusLine(const wchar_t *prefix, const std::wstring &sizeText,
                                const std::wstring &speedText);

#endif
