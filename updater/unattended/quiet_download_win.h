#ifndef UPDATER_UNATTENDED_QUIET_DOWNLOAD_WIN_H
#define UPDATER_UNATTENDED_QUIET_DOWNLOAD_WIN_H

#include <string>

#include "updater/transfer/ftp_endpoint.h"

// Fetches one server file ("server/folder/file") into `localFile` with the
// download engine and no window on the screen (its notices reach a
// message-only window), returning when it has ended. False with the download's
// error text when the file did not arrive.
bool DownloadQuietly(const std::wstring &localFile, const std::wstring &remote,
                     const FtpEndpoint &account, std::wstring &errorText);

#endif
