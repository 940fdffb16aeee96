#include "send/sha256.h"

#include <openssl/evp.h>

struct Sha256::Context {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(md); }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* bytes, std::size_t size) {
    EVP_DigestUpdate(context_->md, bytes, size);
}

std::string Sha256::HexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->md, digest, &length);
    EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 15];
    }
    return hex;
}

std::string Sha256Of(const std::string& bytes) {
    Sha256 sha;
    sha.Add(bytes.data(), bytes.size());
    return sha.HexDigest();
}
