// The update key: an RSA key pair whose private half signs answers and whose public
// half the client carries. The client's key blob has room for a 512-bit modulus and a
// 32-bit public exponent, so only such keys are accepted here.
#pragma once

#include <openssl/evp.h>

#include <memory>
#include <string>
#include <string_view>

struct evp_pkey_free {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using evp_pkey_ptr = std::unique_ptr<EVP_PKEY, evp_pkey_free>;

constexpr int update_key_bits = 512;

// A new key pair (public exponent 65537).
evp_pkey_ptr generate_update_key();

// PEM texts: PKCS #8 private key, SubjectPublicKeyInfo public key.
std::string private_key_pem(const EVP_PKEY& key);
std::string public_key_pem(const EVP_PKEY& key);

// Read a PEM text; throw std::runtime_error when it holds no RSA key of
// update_key_bits bits with an exponent that fits 32 bits.
evp_pkey_ptr load_private_key_pem(std::string_view pem);
evp_pkey_ptr load_public_key_pem(std::string_view pem);
