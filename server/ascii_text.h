// ASCII letter case, for names that compare without it (file names, HTTP header values).
// Bytes other than A-Z are left as they are.
#pragma once

#include <string>
#include <string_view>

inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string ascii_lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = ascii_lower(c);
    return lower;
}
