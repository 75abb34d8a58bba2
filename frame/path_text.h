// Pure helpers for path texts as components see them (UTF-8, any of the separators
// "/", "\\", ":", "|"). Portable.
#pragma once

#include <string_view>

// True for the four characters that separate path components.
constexpr bool is_path_separator(char c) { return c == '/' || c == '\\' || c == ':' || c == '|'; }

// The text after the last separator (the whole text when there is none).
std::string_view path_file_name_part(std::string_view path);
