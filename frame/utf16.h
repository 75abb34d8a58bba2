// UTF-8 <-> UTF-16 conversion at Windows calls. Invalid input is replaced by the
// system's replacement character rather than rejected. Windows builds only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline std::wstring utf8_to_wide(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

inline std::string wide_to_utf8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// For optional text arguments: nullptr stays nullptr.
class wide_arg {
public:
    explicit wide_arg(const char* text) : m_null(text == nullptr), m_text(text ? utf8_to_wide(text) : std::wstring()) {}
    const wchar_t* get() const { return m_null ? nullptr : m_text.c_str(); }

private:
    bool m_null;
    std::wstring m_text;
};
