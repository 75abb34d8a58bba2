// The font and colour tables of an RTF document. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/review/rgb_colour.h"

// Face names, at most kMaxFaceBytes bytes of UTF-8 each; a face's RTF font number is
// its index.
class RtfFontTable {
public:
    static constexpr size_t kMaxFaceBytes = 63;

    void clear() { m_faces.clear(); }
    // The number of the first face equal to `face` ignoring ASCII case; appended when
    // there is none.
    size_t numberOf(std::string_view face);
    const std::vector<std::string>& faces() const { return m_faces; }
    // "{\fonttbl{\f0\fnil\fcharset0 Face;}...}"
    void write(std::string& out) const;

private:
    std::vector<std::string> m_faces;
};

// `face` cut to RtfFontTable::kMaxFaceBytes bytes without splitting a UTF-8 character.
std::string rtf_face_name(std::string_view face);

// Colours in order of first use; a colour's RTF number is its index + 1 (RTF colour 0
// is the automatic colour of the table's empty first entry).
class RtfColourTable {
public:
    void clear() { m_colours.clear(); }
    // Appends `colour` even when the table has it already (the default colours keep
    // their fixed entries 0 and 1).
    void append(RgbColour colour) { m_colours.push_back(colour); }
    // The index of the first entry equal to `colour`; appended when there is none.
    size_t indexOf(RgbColour colour);
    const std::vector<RgbColour>& colours() const { return m_colours; }
    // "{\colortbl ;\red0\green0\blue0;...}"
    void write(std::string& out) const;

private:
    std::vector<RgbColour> m_colours;
};
