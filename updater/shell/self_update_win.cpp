// The check for a newer version of the update manager on the primary server.
#include "updater/shell/update_manager_app_win.h"
#include "updater/shell/startup_rules.h"
#include "updater/transfer/ftp_access_win.h"

bool CUpdateManagerApp::UpdateSelf() {
    CFtpAccess server;
    if (!server.Connect(PrimaryServer()))
        return false;
    if (!FindLatestVersion(server)) {
        server.Close();
        return false;
    }
    // Comparing versions and fetching the newer setup are not built yet: the
    // program goes on as if the server held nothing newer.
    server.Close();
    return false;
}

bool CUpdateManagerApp::FindLatestVersion(CFtpAccess &) {
    m_latestVersion = kOwnVersion;
    m_versionFolders.clear();
    // Not built yet: no version folder is looked for.
    return false;
}
