// The body of an Html2Rtf document: one pass over the HTML that writes RTF text and
// fills the font table, the colour table and the link list. Used by Html2Rtf only.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/review/html_to_rtf.h"
#include "upkeep/review/rtf_writer.h"

// The formatting of the text at one point of the page; tags that open a group save it
// and their closing tags bring it back.
struct Html2RtfFormat {
    std::string face;
    int size = 24;                 // half-points
    size_t text_colour = 0;        // colour table indices
    size_t background_colour = 1;
    int32_t margin_left = 0;       // pixels; only `body` sets and writes them
    int32_t margin_right = 0;
    int32_t margin_top = 0;
    int32_t margin_bottom = 0;
};

class Html2RtfBody {
public:
    enum class Tag;

    Html2RtfBody(RtfFontTable& fonts, RtfColourTable& colours, std::vector<Html2RtfLink>& links,
                 const Html2RtfDisplay& display, RgbColour& pageBackground);

    // Converts `html` into `out`, starting from `initial`. False when a closing tag
    // arrives with no group open. Groups still open at the end are closed there, so
    // that every "{" written has its "}".
    bool convert(std::string_view html, const Html2RtfFormat& initial, RtfWriter& out);

    // Characters of rich text written so far.
    size_t position() const { return m_position; }

private:
    void copyText(std::string_view html, size_t& at, RtfWriter& out);
    void writeEntity(std::string_view html, size_t& at, RtfWriter& out);
    // False when the tag closes a group that is not open.
    bool handleTag(std::string_view tagText, RtfWriter& out);
    void readGroupAttributes(Tag tag, std::string_view attributes);
    void writeFormatChanges(const Html2RtfFormat& previous, RtfWriter& out);
    void closeLink();

    RtfFontTable& m_fonts;
    RtfColourTable& m_colours;
    std::vector<Html2RtfLink>& m_links;
    const Html2RtfDisplay& m_display;
    RgbColour& m_pageBackground;

    Html2RtfFormat m_format;
    std::vector<Html2RtfFormat> m_stack;
    size_t m_position = 0;
    bool m_atLineStart = false;  // a block break was just written
    bool m_afterSpace = true;    // the last output was a space or a break, or nothing yet
    int32_t m_twipsPerPixel = 15;
    int64_t m_cellEdge = 0;      // twips
    bool m_linkPending = false;
    Html2RtfLink m_pendingLink;
    std::string m_tagName;       // reused buffers
    std::string m_tagOutput;
};
