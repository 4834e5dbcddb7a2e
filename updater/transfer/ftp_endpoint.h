#ifndef UPDATER_TRANSFER_FTP_ENDPOINT_H
#define UPDATER_TRANSFER_FTP_ENDPOINT_H

#include <string>

// The update servers' fixed endpoint. The two addresses are build settings
// (TESSEL_PRIMARY_SERVER, TESSEL_SECONDARY_SERVER); port and account are the product's.
extern const wchar_t kPrimaryServerAddress[];    // self-update tree
extern const wchar_t kSecondaryServerAddress[];  // catalogue, report folders, packages
constexpr int kFtpPort = 2121;
extern const wchar_t kFtpUser[];
extern const wchar_t kFtpPassword[];

struct FtpEndpoint {
    std::wstring server;
    int port = 0;
    std::wstring user;
    std::wstring password;
};

FtpEndpoint PrimaryServer();
FtpEndpoint SecondaryServer();

#endif
