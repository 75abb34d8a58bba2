#include "public_key_blob.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>

#include <memory>
#include <stdexcept>

#include "rsa_keys.h"

namespace {

struct bn_free {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
using bn_ptr = std::unique_ptr<BIGNUM, bn_free>;

constexpr size_t modulus_bytes = update_key_bits / 8;

bn_ptr key_number(const EVP_PKEY& key, const char* name) {
    BIGNUM* raw = nullptr;
    if (!EVP_PKEY_get_bn_param(&key, name, &raw)) throw std::runtime_error("not an RSA public key");
    return bn_ptr(raw);
}

void put_u32_le(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

public_key_blob_t public_key_blob(const EVP_PKEY& key) {
    bn_ptr modulus = key_number(key, OSSL_PKEY_PARAM_RSA_N);
    bn_ptr exponent = key_number(key, OSSL_PKEY_PARAM_RSA_E);
    if (BN_num_bits(modulus.get()) != update_key_bits || BN_num_bits(exponent.get()) > 32)
        throw std::runtime_error("the key does not fit the client's key blob");

    public_key_blob_t blob{};
    blob[0] = 6;  // public key blob
    blob[1] = 2;  // blob version
    put_u32_le(&blob[4], 0xA400);
    blob[8] = 'R', blob[9] = 'S', blob[10] = 'A', blob[11] = '1';
    put_u32_le(&blob[12], update_key_bits);
    put_u32_le(&blob[16], static_cast<uint32_t>(BN_get_word(exponent.get())));
    // Little-endian, padded to the full width.
    if (BN_bn2lebinpad(modulus.get(), &blob[20], static_cast<int>(modulus_bytes)) != static_cast<int>(modulus_bytes))
        throw std::runtime_error("cannot write the modulus");
    return blob;
}
