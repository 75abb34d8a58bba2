// Reads an RTF document back the way a rich edit control takes it in, as far as the
// release-notes converter uses RTF: the text as UTF-16 code units (one per character
// position of the control), with the font and colour tables skipped, and whether the
// groups balance. Tests compare it with what the converter says it wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct RtfReading {
    std::u16string text;
    bool balanced = true;  // every "{" has its "}", nothing follows the document's "}"
};

inline RtfReading read_rtf_text(std::string_view rtf) {
    RtfReading reading;
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    int depth = 0;
    int skipBelow = -1;  // inside a table group: its depth
    bool groupStart = false;
    size_t at = 0;
    auto add = [&](char16_t unit) {
        if (skipBelow < 0) reading.text += unit;
    };
    while (at < rtf.size()) {
        const char c = rtf[at];
        if (depth == 0 && at > 0) reading.balanced = false;  // text after the document
        if (c == '{') {
            ++depth;
            groupStart = true;
            ++at;
            continue;
        }
        if (c == '}') {
            if (depth == skipBelow) skipBelow = -1;
            if (--depth < 0) reading.balanced = false;
            groupStart = false;
            ++at;
            continue;
        }
        const bool atGroupStart = groupStart;
        groupStart = false;
        if (c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        if (c != '\\') {
            // UTF-8: the lead byte decides the length; four-byte characters are
            // surrogate pairs in the control.
            const unsigned char lead = static_cast<unsigned char>(c);
            size_t length = lead < 0x80 ? 1 : lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            if (lead >= 0x80 && lead < 0xC0) {  // stray continuation byte
                ++at;
                continue;
            }
            char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
            size_t taken = 1;
            while (taken < length && at + taken < rtf.size() &&
                   (static_cast<unsigned char>(rtf[at + taken]) & 0xC0) == 0x80) {
                cp = cp << 6 | (static_cast<unsigned char>(rtf[at + taken]) & 0x3F);
                ++taken;
            }
            at += taken;
            if (length == 4) {
                const char32_t offset = (cp - 0x10000) & 0xFFFFF;
                add(char16_t(0xD800 + (offset >> 10)));
                add(char16_t(0xDC00 + (offset & 0x3FF)));
            } else {
                add(char16_t(cp));
            }
            continue;
        }
        // A control symbol or word.
        ++at;
        if (at >= rtf.size()) break;
        if (!isLetter(rtf[at])) {
            const char symbol = rtf[at++];
            if (symbol == '\\' || symbol == '{' || symbol == '}') add(char16_t(symbol));
            else if (symbol == '~') add(u'\u00A0');
            else if (symbol == '*' && atGroupStart && skipBelow < 0) skipBelow = depth;
            continue;
        }
        const size_t wordStart = at;
        while (at < rtf.size() && isLetter(rtf[at])) ++at;
        const std::string_view word = rtf.substr(wordStart, at - wordStart);
        long long parameter = 0;
        bool negative = false;
        if (at < rtf.size() && rtf[at] == '-' && at + 1 < rtf.size() && isDigit(rtf[at + 1])) {
            negative = true;
            ++at;
        }
        while (at < rtf.size() && isDigit(rtf[at])) {
            if (parameter < 100000000000LL) parameter = parameter * 10 + (rtf[at] - '0');
            ++at;
        }
        if (negative) parameter = -parameter;
        if (at < rtf.size() && rtf[at] == ' ') ++at;  // the delimiter

        if ((word == "fonttbl" || word == "colortbl") && skipBelow < 0) skipBelow = depth;
        else if (word == "par" || word == "row") add(u'\r');
        else if (word == "line") add(u'\v');
        else if (word == "cell") add(u'\a');
        else if (word == "tab") add(u'\t');
        else if (word == "u") {
            add(char16_t(uint16_t(parameter < 0 ? parameter + 65536 : parameter)));
            // The one-character fallback for readers without Unicode.
            if (at < rtf.size() && rtf[at] != '\\' && rtf[at] != '{' && rtf[at] != '}') ++at;
        }
    }
    if (depth != 0) reading.balanced = false;
    return reading;
}
