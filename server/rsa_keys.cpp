#include "rsa_keys.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <stdexcept>

namespace {

struct bio_free {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using bio_ptr = std::unique_ptr<BIO, bio_free>;

struct bn_free {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};

std::string bio_text(BIO* bio) {
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<size_t>(size));
}

void check_update_key(const EVP_PKEY* key, const char* what) {
    if (!key || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA)
        throw std::runtime_error(std::string(what) + ": not an RSA key");
    if (EVP_PKEY_get_bits(key) != update_key_bits)
        throw std::runtime_error(std::string(what) + ": the modulus must have " + std::to_string(update_key_bits) +
                                 " bits");
    BIGNUM* raw = nullptr;
    if (!EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_E, &raw))
        throw std::runtime_error(std::string(what) + ": no public exponent");
    std::unique_ptr<BIGNUM, bn_free> exponent(raw);
    if (BN_num_bits(exponent.get()) > 32)
        throw std::runtime_error(std::string(what) + ": the public exponent must fit 32 bits");
}

bio_ptr memory_bio(std::string_view text) {
    bio_ptr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (!bio) throw std::runtime_error("out of memory");
    return bio;
}

}  // namespace

evp_pkey_ptr generate_update_key() {
    evp_pkey_ptr key(EVP_RSA_gen(update_key_bits));
    if (!key) throw std::runtime_error("RSA key generation failed");
    return key;
}

std::string private_key_pem(const EVP_PKEY& key) {
    bio_ptr bio(BIO_new(BIO_s_mem()));
    if (!bio || !PEM_write_bio_PrivateKey(bio.get(), const_cast<EVP_PKEY*>(&key), nullptr, nullptr, 0, nullptr,
                                          nullptr))
        throw std::runtime_error("cannot write the private key");
    return bio_text(bio.get());
}

std::string public_key_pem(const EVP_PKEY& key) {
    bio_ptr bio(BIO_new(BIO_s_mem()));
    if (!bio || !PEM_write_bio_PUBKEY(bio.get(), const_cast<EVP_PKEY*>(&key)))
        throw std::runtime_error("cannot write the public key");
    return bio_text(bio.get());
}

evp_pkey_ptr load_private_key_pem(std::string_view pem) {
    bio_ptr bio = memory_bio(pem);
    evp_pkey_ptr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    check_update_key(key.get(), "private key");
    return key;
}

evp_pkey_ptr load_public_key_pem(std::string_view pem) {
    bio_ptr bio = memory_bio(pem);
    evp_pkey_ptr key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    check_update_key(key.get(), "public key");
    return key;
}
