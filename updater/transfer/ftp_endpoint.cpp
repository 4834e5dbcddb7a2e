#include "updater/transfer/ftp_endpoint.h"

#include "ftp_endpoint_config.h"

const wchar_t kPrimaryServerAddress[] = TESSEL_PRIMARY_SERVER_TEXT;
const wchar_t kSecondaryServerAddress[] = TESSEL_SECONDARY_SERVER_TEXT;
const wchar_t kFtpUser[] = L"Ardwen3318";
const wchar_t kFtpPassword[] = L"molvex8264";

FtpEndpoint PrimaryServer() { return {kPrimaryServerAddress, kFtpPort, kFtpUser, kFtpPassword}; }

FtpEndpoint SecondaryServer() {
    return {kSecondaryServerAddress, kFtpPort, kFtpUser, kFtpPassword};
}
