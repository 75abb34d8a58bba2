// Wire formats of the update transport that need no Windows API: the replay key,
// the signature header's Base64, and the Content-Length value. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The replay key: a Windows file time as unsigned decimal digits, no leading zeros.
std::string replay_key_text(uint64_t file_time);

// Decodes standard Base64 (RFC 4648 alphabet, "=" padding, no blanks). Fails (nullopt)
// for a length that is not a multiple of 4, a character outside the alphabet, anything
// but "=" after a first "=", or more than two "=". The result has length / 4 * 3 bytes,
// less one for each trailing "=".
std::optional<std::vector<uint8_t>> decode_signature_base64(std::string_view text);

// The leading decimal digits of a Content-Length value as a 32-bit unsigned number
// (no digits: 0; reading stops at the first non-digit; larger values wrap).
uint32_t parse_content_length(std::string_view text);
