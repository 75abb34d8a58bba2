#include "answer_signer.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace {

struct md_ctx_free {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

}  // namespace

answer_signer::answer_signer(evp_pkey_ptr private_key) : m_key(std::move(private_key)) {
    if (!m_key) throw std::invalid_argument("answer_signer needs a key");
}

std::string answer_signer::sign(std::string_view body) const {
    // Each call has its own digest context; the key itself is only read.
    std::unique_ptr<EVP_MD_CTX, md_ctx_free> ctx(EVP_MD_CTX_new());
    size_t size = static_cast<size_t>(EVP_PKEY_get_size(m_key.get()));
    std::string signature(size, '\0');
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha1(), nullptr, m_key.get()) != 1 ||
        EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char*>(&signature[0]), &size,
                       reinterpret_cast<const unsigned char*>(body.data()), body.size()) != 1)
        throw std::runtime_error("signing failed");
    signature.resize(size);
    return signature;
}

std::string answer_signer::signature_header(std::string_view body) const { return base64_encode(sign(body)); }

std::string base64_encode(std::string_view bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&text[0]),
                                  reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(static_cast<size_t>(written));
    return text;
}
