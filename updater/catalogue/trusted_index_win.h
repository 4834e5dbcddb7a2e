#ifndef UPDATER_CATALOGUE_TRUSTED_INDEX_WIN_H
#define UPDATER_CATALOGUE_TRUSTED_INDEX_WIN_H

#include <string>

#include "common/crypto/rsa_key_text.h"
#include "updater/catalogue/release_index.h"

class CFtpAccess;

// Fetches the signed index of `tree` ("/[MID]/marbo K4", "/Korea/PC/TesselMIDSetup")
// over `connection` in one transfer and trusts it only when it is whole,
// signed by `key`, covers `tree` and is not older than the newest this device
// has trusted for it (kept below `productKeyPath`); its serial is then
// recorded. A missing index counts as unreadable. Every refusal leaves a
// debugger line naming the reason.
IndexVerdict FetchTrustedIndex(CFtpAccess &connection, const RsaPublicKey &key,
                               const std::wstring &tree, const std::wstring &productKeyPath,
                               ReleaseIndex &index);

#endif
