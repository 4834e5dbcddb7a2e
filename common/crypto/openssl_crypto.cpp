// The host's release cryptography on OpenSSL 3's libcrypto.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>

#include "common/crypto/release_crypto.h"

namespace {

template <typename T, void (*Free)(T *)>
struct Owned {
    T *p = nullptr;
    Owned() = default;
    explicit Owned(T *value) : p(value) {}
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() {
        if (p) Free(p);
    }
};

void FreeBn(BIGNUM *n) { BN_clear_free(n); }
using Bn = Owned<BIGNUM, FreeBn>;
using PKey = Owned<EVP_PKEY, EVP_PKEY_free>;
using PKeyCtx = Owned<EVP_PKEY_CTX, EVP_PKEY_CTX_free>;
using MdCtx = Owned<EVP_MD_CTX, EVP_MD_CTX_free>;
using ParamBuild = Owned<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>;
using Params = Owned<OSSL_PARAM, OSSL_PARAM_free>;

class OpenSslSha256 : public Sha256Stream {
public:
    OpenSslSha256() : m_ctx(EVP_MD_CTX_new()) {
        m_ok = m_ctx.p && EVP_DigestInit_ex(m_ctx.p, EVP_sha256(), nullptr) == 1;
    }
    bool Update(const void *bytes, size_t count) override {
        m_ok = m_ok && EVP_DigestUpdate(m_ctx.p, bytes, count) == 1;
        return m_ok;
    }
    bool Finish(Sha256Digest &digest) override {
        unsigned int size = 0;
        const bool ok = m_ok && EVP_DigestFinal_ex(m_ctx.p, digest.data(), &size) == 1 &&
                        size == digest.size();
        m_ok = false;
        return ok;
    }
    bool Ready() const { return m_ok; }

private:
    MdCtx m_ctx;
    bool m_ok = false;
};

bool Push(OSSL_PARAM_BLD *build, const char *name, const std::vector<std::uint8_t> &number,
          std::vector<std::unique_ptr<Bn>> &keep) {
    keep.push_back(std::make_unique<Bn>(
        BN_bin2bn(number.data(), static_cast<int>(number.size()), nullptr)));
    return keep.back()->p && OSSL_PARAM_BLD_push_BN(build, name, keep.back()->p) == 1;
}

// A key object from our numbers; `priv` null for a public key.
EVP_PKEY *MakeKey(const RsaPublicKey &pub, const RsaPrivateKey *priv) {
    ParamBuild build(OSSL_PARAM_BLD_new());
    std::vector<std::unique_ptr<Bn>> keep;
    if (!build.p || !Push(build.p, OSSL_PKEY_PARAM_RSA_N, pub.modulus, keep) ||
        !Push(build.p, OSSL_PKEY_PARAM_RSA_E, pub.exponent, keep))
        return nullptr;
    if (priv &&
        !(Push(build.p, OSSL_PKEY_PARAM_RSA_D, priv->privateExponent, keep) &&
          Push(build.p, OSSL_PKEY_PARAM_RSA_FACTOR1, priv->prime1, keep) &&
          Push(build.p, OSSL_PKEY_PARAM_RSA_FACTOR2, priv->prime2, keep) &&
          Push(build.p, OSSL_PKEY_PARAM_RSA_EXPONENT1, priv->exponent1, keep) &&
          Push(build.p, OSSL_PKEY_PARAM_RSA_EXPONENT2, priv->exponent2, keep) &&
          Push(build.p, OSSL_PKEY_PARAM_RSA_COEFFICIENT1, priv->coefficient, keep)))
        return nullptr;
    Params params(OSSL_PARAM_BLD_to_param(build.p));
    PKeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    EVP_PKEY *key = nullptr;
    if (!params.p || !ctx.p || EVP_PKEY_fromdata_init(ctx.p) != 1 ||
        EVP_PKEY_fromdata(ctx.p, &key, priv ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params.p) != 1)
        return nullptr;
    return key;
}

bool GetNumber(const EVP_PKEY *key, const char *name, std::vector<std::uint8_t> &number) {
    BIGNUM *raw = nullptr;
    if (EVP_PKEY_get_bn_param(key, name, &raw) != 1) return false;
    Bn value(raw);
    number.resize(BN_num_bytes(value.p));
    BN_bn2bin(value.p, number.data());
    return true;
}

class OpenSslCrypto : public ReleaseSigner {
public:
    std::unique_ptr<Sha256Stream> StartSha256() override {
        auto hash = std::make_unique<OpenSslSha256>();
        if (!hash->Ready()) return nullptr;
        return hash;
    }

    bool Verify(const RsaPublicKey &key, const std::string &message,
                const std::vector<std::uint8_t> &signature) override {
        PKey pkey(MakeKey(key, nullptr));
        MdCtx ctx(EVP_MD_CTX_new());
        EVP_PKEY_CTX *pctx = nullptr;
        return pkey.p && ctx.p &&
               EVP_DigestVerifyInit(ctx.p, &pctx, EVP_sha256(), nullptr, pkey.p) == 1 &&
               EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_PKCS1_PADDING) == 1 &&
               EVP_DigestVerify(ctx.p, signature.data(), signature.size(),
                                reinterpret_cast<const unsigned char *>(message.data()),
                                message.size()) == 1;
    }

    bool Sign(const RsaPrivateKey &key, const std::string &message,
              std::vector<std::uint8_t> &signature) override {
        PKey pkey(MakeKey(key.publicKey, &key));
        MdCtx ctx(EVP_MD_CTX_new());
        EVP_PKEY_CTX *pctx = nullptr;
        size_t size = 0;
        const auto *bytes = reinterpret_cast<const unsigned char *>(message.data());
        if (!pkey.p || !ctx.p ||
            EVP_DigestSignInit(ctx.p, &pctx, EVP_sha256(), nullptr, pkey.p) != 1 ||
            EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_PKCS1_PADDING) != 1 ||
            EVP_DigestSign(ctx.p, nullptr, &size, bytes, message.size()) != 1)
            return false;
        signature.resize(size);
        if (EVP_DigestSign(ctx.p, signature.data(), &size, bytes, message.size()) != 1) return false;
        signature.resize(size);
        return true;
    }

    bool GenerateKey(RsaPrivateKey &key) override {
        PKey pkey(EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", static_cast<size_t>(kReleaseKeyBits)));
        return pkey.p && GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_N, key.publicKey.modulus) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_E, key.publicKey.exponent) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_D, key.privateExponent) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_FACTOR1, key.prime1) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_FACTOR2, key.prime2) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_EXPONENT1, key.exponent1) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_EXPONENT2, key.exponent2) &&
               GetNumber(pkey.p, OSSL_PKEY_PARAM_RSA_COEFFICIENT1, key.coefficient);
    }
};

}  // namespace

std::unique_ptr<ReleaseSigner> MakeSystemCrypto() { return std::make_unique<OpenSslCrypto>(); }
