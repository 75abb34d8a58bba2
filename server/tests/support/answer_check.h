// What the client does with an answer, for the tests: verify the signature header
// against the public key, inflate the body and parse it with the strict parser.
#pragma once

#include <openssl/evp.h>

#include <optional>
#include <string>

#include "upkeep/checking/json_value.h"

// The signature bytes of a header value, when it is standard Base64 without blanks.
std::optional<std::string> decode_base64(const std::string& text);

// True when `signature_header` is a valid RSA PKCS #1 v1.5 SHA-1 signature of `body`.
bool signature_verifies(const std::string& body, const std::string& signature_header, const EVP_PKEY& public_key);

// The inflated text; throws when the body is not one raw deflate stream.
std::string inflate_answer(const std::string& body);

// Inflates and parses with the parser's default (strict) options; throws on failure.
JSONValuePtr open_answer(const std::string& body);
