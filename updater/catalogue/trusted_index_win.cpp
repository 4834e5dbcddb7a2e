#include "updater/catalogue/trusted_index_win.h"

#include <windows.h>

#include <memory>

#include "updater/catalogue/release_serial_store_win.h"
#include "updater/transfer/ftp_access_win.h"

namespace {

const wchar_t *VerdictText(IndexVerdict verdict) {
    switch (verdict) {
    case IndexVerdict::kTrusted: return L"trusted";
    case IndexVerdict::kUnreadable: return L"missing or unreadable";
    case IndexVerdict::kBadSignature: return L"not signed by the release key";
    case IndexVerdict::kForeignTree: return L"signed for another tree";
    case IndexVerdict::kOlderSerial: return L"older than one already trusted";
    }
    return L"?";
}

}  // namespace

IndexVerdict FetchTrustedIndex(CFtpAccess &connection, const RsaPublicKey &key,
                               const std::wstring &tree, const std::wstring &productKeyPath,
                               ReleaseIndex &index) {
    std::string bytes;
    IndexVerdict verdict = IndexVerdict::kUnreadable;
    std::unique_ptr<ReleaseSigner> crypto = MakeSystemCrypto();
    if (crypto && connection.ReadFile(ReleaseIndexPathOf(tree), kReleaseIndexMaxBytes, bytes)) {
        CReleaseSerialStore serials(productKeyPath);
        verdict = VerifyReleaseIndex(*crypto, key, bytes, tree, serials.Highest(tree), index);
        if (verdict == IndexVerdict::kTrusted)
            serials.Record(tree, index.serial);
    }
    if (verdict != IndexVerdict::kTrusted) {
        const std::wstring trace =
            L"Tessel release index of " + tree + L": " + VerdictText(verdict) + L"\n";
        OutputDebugStringW(trace.c_str());
    }
    return verdict;
}
