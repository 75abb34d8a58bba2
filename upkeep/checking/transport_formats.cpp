#include "transport_formats.h"

std::string replay_key_text(uint64_t file_time) { return std::to_string(file_time); }

namespace {
int base64_value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
}  // namespace

std::optional<std::vector<uint8_t>> decode_signature_base64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    size_t padding = 0;
    size_t first_pad = text.find('=');
    if (first_pad != std::string_view::npos) {
        for (size_t i = first_pad; i < text.size(); ++i)
            if (text[i] != '=') return std::nullopt;
        padding = text.size() - first_pad;
        if (padding > 2) return std::nullopt;
    }
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = 0; i < text.size() - padding; ++i) {
        int v = base64_value(text[i]);
        if (v < 0) return std::nullopt;
        bits = bits << 6 | static_cast<uint32_t>(v);
        if (++count == 4) {
            out.push_back(static_cast<uint8_t>(bits >> 16));
            out.push_back(static_cast<uint8_t>(bits >> 8));
            out.push_back(static_cast<uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    // A final group of 2 or 3 characters before the padding carries 1 or 2 bytes.
    if (count == 3) {
        bits <<= 6;
        out.push_back(static_cast<uint8_t>(bits >> 16));
        out.push_back(static_cast<uint8_t>(bits >> 8));
    } else if (count == 2) {
        bits <<= 12;
        out.push_back(static_cast<uint8_t>(bits >> 16));
    }
    return out;
}

uint32_t parse_content_length(std::string_view text) {
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10u + static_cast<uint32_t>(c - '0');
    }
    return value;
}
