// The release cryptography on the system's CryptoAPI (advapi32): the RSA and
// AES provider does RSA with SHA-256 from Windows XP SP3 on. XP names that
// provider "... (Prototype)", so it is acquired by type, never by name.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <string>

#include "common/crypto/release_crypto.h"

// Declared by the headers for Windows XP SP2 (0x0502) and later only; XP SP3's
// provider knows it all the same.
#ifndef CALG_SHA_256
#define CALG_SHA_256 0x0000800c
#endif

namespace {

class CProvider {
public:
    CProvider() = default;
    CProvider(const CProvider &) = delete;
    CProvider &operator=(const CProvider &) = delete;
    ~CProvider() {
        if (m_handle) CryptReleaseContext(m_handle, 0);
        if (!m_container.empty()) {
            HCRYPTPROV gone = 0;
            CryptAcquireContextW(&gone, m_container.c_str(), nullptr, PROV_RSA_AES, CRYPT_DELETEKEYSET);
        }
    }
    // A context without key container: hashing and checking signatures.
    bool AcquireForVerifying() {
        return CryptAcquireContextW(&m_handle, nullptr, nullptr, PROV_RSA_AES,
                                    CRYPT_VERIFYCONTEXT | CRYPT_SILENT) != FALSE;
    }
    // A fresh key container, deleted again with the object: signing uses the
    // container's signature key pair, which a context without one cannot hold.
    bool AcquireForSigning() {
        static LONG counter = 0;
        m_container = L"tessel-release-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(InterlockedIncrement(&counter));
        if (CryptAcquireContextW(&m_handle, m_container.c_str(), nullptr, PROV_RSA_AES,
                                 CRYPT_NEWKEYSET | CRYPT_SILENT))
            return true;
        m_container.clear();
        return false;
    }
    HCRYPTPROV Get() const { return m_handle; }

private:
    HCRYPTPROV m_handle = 0;
    std::wstring m_container;
};

class CKey {
public:
    ~CKey() {
        if (handle) CryptDestroyKey(handle);
    }
    HCRYPTKEY handle = 0;
};

class CHash {
public:
    ~CHash() {
        if (handle) CryptDestroyHash(handle);
    }
    bool Start(HCRYPTPROV provider) { return CryptCreateHash(provider, CALG_SHA_256, 0, 0, &handle) != FALSE; }
    bool Add(const void *bytes, size_t count) {
        const auto *p = static_cast<const BYTE *>(bytes);
        while (count > 0) {
            const DWORD part = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
            if (!CryptHashData(handle, p, part, 0)) return false;
            p += part;
            count -= part;
        }
        return true;
    }
    HCRYPTHASH handle = 0;
};

class CCryptoApiSha256 : public Sha256Stream {
public:
    bool Start() { return m_provider.AcquireForVerifying() && m_hash.Start(m_provider.Get()); }
    bool Update(const void *bytes, size_t count) override {
        m_ok = m_ok && m_hash.Add(bytes, count);
        return m_ok;
    }
    bool Finish(Sha256Digest &digest) override {
        DWORD size = static_cast<DWORD>(digest.size());
        const bool ok = m_ok && CryptGetHashParam(m_hash.handle, HP_HASHVAL, digest.data(), &size, 0) &&
                        size == digest.size();
        m_ok = false;
        return ok;
    }

private:
    // Declared first so that the hash goes before its provider.
    CProvider m_provider;
    CHash m_hash;
    bool m_ok = true;
};

// CryptoAPI's numbers are little-endian.
void AppendReversed(std::string &blob, const std::vector<std::uint8_t> &number, size_t width) {
    const std::vector<std::uint8_t> padded = PadNumber(number, width);
    blob.append(padded.rbegin(), padded.rend());
}

std::string KeyBlob(const RsaPublicKey &pub, const RsaPrivateKey *priv) {
    const size_t bytes = kReleaseKeyBits / 8, half = bytes / 2;
    BLOBHEADER header = {};
    header.bType = priv ? PRIVATEKEYBLOB : PUBLICKEYBLOB;
    header.bVersion = CUR_BLOB_VERSION;
    header.aiKeyAlg = CALG_RSA_SIGN;
    RSAPUBKEY rsa = {};
    rsa.magic = priv ? 0x32415352 : 0x31415352;  // "RSA2", "RSA1"
    rsa.bitlen = kReleaseKeyBits;
    for (std::uint8_t b : pub.exponent) rsa.pubexp = rsa.pubexp << 8 | b;
    std::string blob(reinterpret_cast<const char *>(&header), sizeof header);
    blob.append(reinterpret_cast<const char *>(&rsa), sizeof rsa);
    AppendReversed(blob, pub.modulus, bytes);
    if (priv) {
        AppendReversed(blob, priv->prime1, half);
        AppendReversed(blob, priv->prime2, half);
        AppendReversed(blob, priv->exponent1, half);
        AppendReversed(blob, priv->exponent2, half);
        AppendReversed(blob, priv->coefficient, half);
        AppendReversed(blob, priv->privateExponent, bytes);
    }
    return blob;
}

bool ImportKey(HCRYPTPROV provider, const std::string &blob, CKey &key) {
    return CryptImportKey(provider, reinterpret_cast<const BYTE *>(blob.data()),
                          static_cast<DWORD>(blob.size()), 0, CRYPT_EXPORTABLE, &key.handle) != FALSE;
}

std::vector<std::uint8_t> TakeReversed(const BYTE *&p, size_t width) {
    std::vector<std::uint8_t> number(std::reverse_iterator<const BYTE *>(p + width),
                                     std::reverse_iterator<const BYTE *>(p));
    p += width;
    return TrimNumber(number);
}

class CCryptoApiCrypto : public ReleaseSigner {
public:
    std::unique_ptr<Sha256Stream> StartSha256() override {
        auto hash = std::make_unique<CCryptoApiSha256>();
        if (!hash->Start()) return nullptr;
        return hash;
    }

    bool Verify(const RsaPublicKey &key, const std::string &message,
                const std::vector<std::uint8_t> &signature) override {
        if (signature.size() != kReleaseKeyBits / 8) return false;
        CProvider provider;
        CKey rsa;
        CHash hash;
        const std::vector<BYTE> reversed(signature.rbegin(), signature.rend());
        return provider.AcquireForVerifying() && ImportKey(provider.Get(), KeyBlob(key, nullptr), rsa) &&
               hash.Start(provider.Get()) && hash.Add(message.data(), message.size()) &&
               CryptVerifySignatureW(hash.handle, reversed.data(), static_cast<DWORD>(reversed.size()),
                                     rsa.handle, nullptr, 0);
    }

    bool Sign(const RsaPrivateKey &key, const std::string &message,
              std::vector<std::uint8_t> &signature) override {
        CProvider provider;
        CKey rsa;
        CHash hash;
        DWORD size = 0;
        if (!provider.AcquireForSigning() || !ImportKey(provider.Get(), KeyBlob(key.publicKey, &key), rsa) ||
            !hash.Start(provider.Get()) || !hash.Add(message.data(), message.size()) ||
            !CryptSignHashW(hash.handle, AT_SIGNATURE, nullptr, 0, nullptr, &size))
            return false;
        std::vector<BYTE> bytes(size);
        if (!CryptSignHashW(hash.handle, AT_SIGNATURE, nullptr, 0, bytes.data(), &size)) return false;
        signature.assign(bytes.rbegin() + (bytes.size() - size), bytes.rend());
        return true;
    }

    bool GenerateKey(RsaPrivateKey &key) override {
        CProvider provider;
        CKey rsa;
        DWORD size = 0;
        if (!provider.AcquireForSigning() ||
            !CryptGenKey(provider.Get(), AT_SIGNATURE, kReleaseKeyBits << 16 | CRYPT_EXPORTABLE, &rsa.handle) ||
            !CryptExportKey(rsa.handle, 0, PRIVATEKEYBLOB, 0, nullptr, &size))
            return false;
        std::vector<BYTE> blob(size);
        const size_t bytes = kReleaseKeyBits / 8, half = bytes / 2;
        if (!CryptExportKey(rsa.handle, 0, PRIVATEKEYBLOB, 0, blob.data(), &size) ||
            size < sizeof(BLOBHEADER) + sizeof(RSAPUBKEY) + bytes * 2 + half * 5)
            return false;
        RSAPUBKEY rsaHeader;
        memcpy(&rsaHeader, blob.data() + sizeof(BLOBHEADER), sizeof rsaHeader);
        key.publicKey.exponent = TrimNumber({static_cast<std::uint8_t>(rsaHeader.pubexp >> 24),
                                             static_cast<std::uint8_t>(rsaHeader.pubexp >> 16),
                                             static_cast<std::uint8_t>(rsaHeader.pubexp >> 8),
                                             static_cast<std::uint8_t>(rsaHeader.pubexp)});
        const BYTE *p = blob.data() + sizeof(BLOBHEADER) + sizeof(RSAPUBKEY);
        key.publicKey.modulus = TakeReversed(p, bytes);
        key.prime1 = TakeReversed(p, half);
        key.prime2 = TakeReversed(p, half);
        key.exponent1 = TakeReversed(p, half);
        key.exponent2 = TakeReversed(p, half);
        key.coefficient = TakeReversed(p, half);
        key.privateExponent = TakeReversed(p, bytes);
        return true;
    }
};

}  // namespace

std::unique_ptr<ReleaseSigner> MakeSystemCrypto() { return std::make_unique<CCryptoApiCrypto>(); }
