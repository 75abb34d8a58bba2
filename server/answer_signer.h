// Signs answer bodies: RSA PKCS #1 v1.5 over the SHA-1 hash of the exact bytes sent,
// which is what the client verifies. Safe to share between threads.
#pragma once

#include <string>
#include <string_view>

#include "rsa_keys.h"

class answer_signer {
public:
    explicit answer_signer(evp_pkey_ptr private_key);

    // The signature bytes, most significant byte first (64 for the update key).
    std::string sign(std::string_view body) const;

    // The value of the signature header: standard Base64, "=" padding, one line.
    std::string signature_header(std::string_view body) const;

private:
    evp_pkey_ptr m_key;
};

// Standard Base64 of `bytes` without line breaks.
std::string base64_encode(std::string_view bytes);
