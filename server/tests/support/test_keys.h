// The committed development key pair and a signer over it, for the tests.
#pragma once

#include <string>

#include "server/answer_signer.h"
#include "server/rsa_keys.h"

std::string dev_key_path(const char* suffix);  // e.g. "private.pem"
const answer_signer& dev_signer();
const EVP_PKEY& dev_public_key();
