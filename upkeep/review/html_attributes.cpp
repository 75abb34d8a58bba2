#include "upkeep/review/html_attributes.h"

#include <limits>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

size_t skipSpace(std::string_view text, size_t at) {
    while (at < text.size() && isSpace(text[at])) ++at;
    return at;
}

// The value that starts at `at`: quoted up to the same quote (or the end), otherwise
// the run of ASCII letters, digits and "-".
std::string_view valueAt(std::string_view text, size_t at) {
    if (at >= text.size()) return {};
    const char first = text[at];
    if (first == '"' || first == '\'') {
        const size_t close = text.find(first, at + 1);
        return text.substr(at + 1, close == std::string_view::npos ? std::string_view::npos : close - at - 1);
    }
    size_t end = at;
    while (end < text.size() && (isAsciiLetter(text[end]) || isDigit(text[end]) || text[end] == '-')) ++end;
    return text.substr(at, end - at);
}

}  // namespace

std::optional<std::string_view> html_attribute(std::string_view attributes, std::string_view name) {
    const size_t found = attributes.find(name);
    if (found == std::string_view::npos) return std::nullopt;
    size_t at = skipSpace(attributes, found + name.size());
    if (at >= attributes.size() || attributes[at] != '=') return std::string_view();
    return valueAt(attributes, skipSpace(attributes, at + 1));
}

std::optional<std::string_view> html_style_property(std::string_view attributes, std::string_view name) {
    const size_t found = attributes.find(name);
    if (found == std::string_view::npos) return std::nullopt;
    size_t at = skipSpace(attributes, found + name.size());
    if (at >= attributes.size() || attributes[at] != ':') return std::nullopt;
    return valueAt(attributes, skipSpace(attributes, at + 1));
}

int32_t html_number(std::string_view value) {
    size_t at = skipSpace(value, 0);
    bool negative = false;
    if (at < value.size() && (value[at] == '-' || value[at] == '+')) negative = value[at++] == '-';
    // Accumulate as a negative number: its range holds the 32-bit minimum.
    const int64_t limit = std::numeric_limits<int32_t>::min();
    int64_t n = 0;
    for (; at < value.size() && isDigit(value[at]); ++at) {
        n = n * 10 - (value[at] - '0');
        if (n < limit) n = limit;
    }
    if (!negative) n = n < -int64_t(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max() : -n;
    return int32_t(n);
}

RgbColour html_colour(std::string_view value, const SystemColours& system) {
    if (!value.empty() && value[0] == '#') {
        uint32_t n = 0;
        for (size_t at = 1; at < value.size() && hexDigit(value[at]) >= 0; ++at) {
            n = n > 0xFFFFFFu >> 4 ? 0xFFFFFFu : n << 4 | uint32_t(hexDigit(value[at]));
        }
        return {uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    }
    if (value == "window") return system.window;
    if (value == "windowtext") return system.window_text;
    if (value == "buttonface") return system.button_face;
    if (value == "buttontext") return system.button_text;
    return {};
}
