// Html2Rtf: turns the small HTML dialect of release notes into an RTF document for a
// rich edit control, and records where the links are in the resulting text. Portable:
// no Windows header; the caller hands in what it reads from the system (colours,
// pixels per inch, the control's font) so that the converter behaves the same in
// tests. One pass, no document tree: a fixed set of tags, attributes found by plain
// substring search, a stack of formatting states for the tags that open an RTF group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/review/rtf_tables.h"

// What the converter needs to know about the screen at the time of a conversion. On
// Windows the caller fills it from GetSysColor and GetDeviceCaps(LOGPIXELSX).
struct Html2RtfDisplay {
    SystemColours colours;
    int pixels_per_inch = 96;  // horizontal; 0 or less is read as 96
};

// The control's font: its face name in UTF-8 and the signed logical-font height as
// stored (negative for a character height).
struct Html2RtfFont {
    std::string face;
    int32_t height = 0;
};

// A link of the converted text: [start, end) in characters of the rich text, counted
// as the control counts them (UTF-16 code units).
struct Html2RtfLink {
    std::string url;
    size_t start = 0;
    size_t end = 0;
};

class Html2Rtf {
public:
    // Converts `html` (UTF-8; it ends at its first NUL, if any) into an RTF document
    // that a rich edit control reads with UTF-8 as its code page. `text` and
    // `background` are the control's colours; on success `background` becomes the page
    // background (body bgcolor). Answers nothing when a closing tag arrives with no
    // group open; `background` is then unchanged. The link list is emptied at the
    // start of every conversion.
    std::optional<std::string> Convert(std::string_view html, const Html2RtfFont& font, RgbColour text,
                                       RgbColour& background, const Html2RtfDisplay& display);

    // The same document frame around `text` shown literally: no tag, entity or link is
    // interpreted, line feeds break lines. Never fails; for notes that Convert refused,
    // so that the reader sees them rather than whatever was shown before. Empties the
    // link list.
    std::string ConvertPlainText(std::string_view text, const Html2RtfFont& font, RgbColour text_colour,
                                 RgbColour background);

    // The links of the last conversion, in the order their closing tags came; their
    // starts strictly increase and the ranges never overlap.
    const std::vector<Html2RtfLink>& Links() const { return m_links; }

    // The link whose first character is at `position`, or nullptr (a click on a link
    // reports the start of the link).
    const Html2RtfLink* LinkStartingAt(size_t position) const;

    // Characters of rich text that the last successful conversion wrote.
    size_t TextLength() const { return m_textLength; }

    // The font and colour tables of the last conversion.
    const RtfFontTable& Fonts() const { return m_fonts; }
    const RtfColourTable& Colours() const { return m_colours; }

private:
    void beginDocument(const Html2RtfFont& font, RgbColour text, RgbColour background);
    std::string assemble(int default_size, const std::string& body) const;

    RtfFontTable m_fonts;
    RtfColourTable m_colours;
    std::vector<Html2RtfLink> m_links;
    size_t m_textLength = 0;
};

// The default text size in half-points for a logical-font height value.
int html2rtf_default_size(int32_t height);
