// The public key as the client carries it: an 84-byte Windows public key blob.
//   0  type 6 (public key blob), version 2, reserved 0 (2 bytes)
//   4  key algorithm 0x0000A400 (RSA key exchange), little-endian
//   8  "RSA1", bit length 512, public exponent: each 4 bytes, little-endian
//  20  the 64-byte modulus, least significant byte first
#pragma once

#include <openssl/evp.h>

#include <array>
#include <cstdint>

constexpr size_t public_key_blob_bytes = 84;
using public_key_blob_t = std::array<uint8_t, public_key_blob_bytes>;

// The blob of an update key (see rsa_keys.h for the keys it accepts).
public_key_blob_t public_key_blob(const EVP_PKEY& key);
