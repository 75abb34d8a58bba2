// Text comparison and formatting helpers.
#include <cstdio>
#include <vector>

#include "frame/utf16.h"
#include "shared_host.h"

namespace {

// Decodes one code point from UTF-8; a malformed byte stands for itself.
char32_t next_code_point(const unsigned char*& p) {
    unsigned char c = *p++;
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (c < 0x80 || extra == 0) return c;
    char32_t value = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return c;
    }
    for (int i = 0; i < extra; ++i) value = value << 6 | (*p++ & 0x3F);
    return value;
}

// Simple lower-case folding through the system's table for the BMP.
char32_t fold(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if (c > 0xFFFF) return c;
    wchar_t w = static_cast<wchar_t>(c);
    CharLowerBuffW(&w, 1);
    return w;
}

}  // namespace

int stricmp_utf8(const char* a, const char* b) {
    auto* p = reinterpret_cast<const unsigned char*>(a);
    auto* q = reinterpret_cast<const unsigned char*>(b);
    for (;;) {
        if (*p == 0 || *q == 0) return (*p != 0) - (*q != 0);
        char32_t x = fold(next_code_point(p)), y = fold(next_code_point(q));
        if (x != y) return x < y ? -1 : 1;
    }
}

int uStringCompare(const char* a, const char* b) {
    std::wstring x = utf8_to_wide(a), y = utf8_to_wide(b);
    int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                           static_cast<int>(y.size()));
    return r == 0 ? 0 : r - CSTR_EQUAL;
}

void uPrintfV(string_sink& out, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return;
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.add_string(buffer.data(), static_cast<size_t>(n));
}
