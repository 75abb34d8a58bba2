#include "upkeep/review/rtf_tables.h"

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string rtf_face_name(std::string_view face) {
    if (face.size() <= RtfFontTable::kMaxFaceBytes) return std::string(face);
    size_t cut = RtfFontTable::kMaxFaceBytes;
    // Back off to the start of the character the cut would split.
    while (cut > 0 && isUtf8Continuation(face[cut])) --cut;
    return std::string(face.substr(0, cut));
}

size_t RtfFontTable::numberOf(std::string_view face) {
    for (size_t i = 0; i < m_faces.size(); ++i)
        if (equalIgnoringAsciiCase(m_faces[i], face)) return i;
    m_faces.emplace_back(face);
    return m_faces.size() - 1;
}

void RtfFontTable::write(std::string& out) const {
    out += "{\\fonttbl";
    for (size_t i = 0; i < m_faces.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        // Faces come from the page: a brace or backslash in one must not end or open a
        // group of the table.
        for (char c : m_faces[i]) {
            if (c == '\\' || c == '{' || c == '}') out += '\\';
            out += c;
        }
        out += ";}";
    }
    out += '}';
}

size_t RtfColourTable::indexOf(RgbColour colour) {
    for (size_t i = 0; i < m_colours.size(); ++i)
        if (m_colours[i] == colour) return i;
    m_colours.push_back(colour);
    return m_colours.size() - 1;
}

void RtfColourTable::write(std::string& out) const {
    out += "{\\colortbl ;";
    for (const RgbColour& c : m_colours)
        out += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" +
               std::to_string(c.blue) + ';';
    out += '}';
}
