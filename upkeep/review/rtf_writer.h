// Appends RTF markup and text to a growing buffer and keeps text from running into the
// control word before it: "\fs24" followed by the text "1" must not read as "\fs241".
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-16 code units that the character starting with this UTF-8 byte takes in the
// control, which counts positions in code units: none for a continuation byte, two
// for the lead byte of a four-byte sequence (a surrogate pair), one otherwise.
inline size_t utf16_units_of_utf8_byte(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) return 0;
    return byte >= 0xF0 ? 2 : 1;
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

    std::string& buffer() { return m_out; }

private:
    std::string m_out;
    bool m_wordOpen = false;
};
