// Appends RTF markup and text to a growing buffer and keeps text from running into the
// control word before it: "\fs24" followed by the text "1" must not read as "\fs241".
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reads the UTF-8 character that starts at `at` and moves `at` past it. A byte that
// does not start a well-formed sequence reads as U+FFFD and is passed alone.
inline char32_t read_utf8_character(std::string_view text, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return text[at++];
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    char32_t code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= text.size() || (byte(at + i) & 0xC0) != 0x80) length = 0;
        else code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool shortest = (length == 2) || (length == 3 && code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) ||
                          (length == 4 && code >= 0x10000 && code <= 0x10FFFF);
    if (length == 0 || !shortest) {
        ++at;
        return 0xFFFD;
    }
    at += length;
    return code;
}

class RtfWriter {
public:
    // `afterControlWord`: what is written follows a control word of the document's
    // header that text could still extend.
    RtfWriter(size_t reserve, bool afterControlWord) : m_wordOpen(afterControlWord) { m_out.reserve(reserve); }

    // RTF markup: control words, control symbols, braces, and text that comes with them
    // (the spaces around a bullet).
    void markup(std::string_view rtf) {
        if (rtf.empty()) return;
        const char first = rtf.front();
        if (m_wordOpen && first != '\\' && first != '{' && first != '}') m_out += ' ';
        m_out.append(rtf.data(), rtf.size());
        const char last = rtf.back();
        m_wordOpen = (last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z') || (last >= '0' && last <= '9');
    }

    // Document text, copied as it is. A space first ends a control word that the text
    // could extend; the reader takes that space as the word's delimiter, not as text.
    void text(char c) {
        if (m_wordOpen) m_out += ' ';
        m_out += c;
        m_wordOpen = false;
    }

    // One UTF-16 code unit as "\uN?": N is the unit as a signed 16-bit value, which is
    // how RTF readers take the parameter; "?" is the fallback for readers without
    // Unicode.
    void utf16Unit(uint16_t unit) {
        const int value = unit > 0x7FFF ? int(unit) - 0x10000 : int(unit);
        markup("\\u" + std::to_string(value) + "?");
    }

    // A character beyond ASCII, as "\uN?" units, so that every reader takes the same
    // character whatever code page it assumes. Answers the code units it takes in the
    // control, which counts positions in UTF-16 units: two beyond the Basic
    // Multilingual Plane (a surrogate pair), one otherwise.
    size_t unicode(char32_t code_point) {
        if (code_point > 0x10FFFF) code_point = 0xFFFD;
        if (code_point <= 0xFFFF) {
            utf16Unit(uint16_t(code_point));
            return 1;
        }
        const char32_t offset = code_point - 0x10000;
        utf16Unit(uint16_t(0xD800 + (offset >> 10)));
        utf16Unit(uint16_t(0xDC00 + (offset & 0x3FF)));
        return 2;
    }

    std::string& buffer() { return m_out; }

private:
    std::string m_out;
    bool m_wordOpen = false;
};
