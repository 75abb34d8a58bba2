#include "upkeep/review/html_to_rtf_body.h"

#include <limits>

#include "upkeep/review/html_attributes.h"
#include "upkeep/review/html_entities.h"

enum class Html2RtfBody::Tag {
    Unknown,
    Bold, Italic, Underline, LineBreak, ListItem, Paragraph,
    Body, Font, Anchor, Span, Div, Table, Column, Row, Cell,
    EndBold, EndItalic, EndUnderline, EndRow, EndCell,
    EndBody, EndFont, EndAnchor, EndSpan, EndDiv, EndTable,
};

namespace {

using Tag = Html2RtfBody::Tag;

Tag tagOf(std::string_view name) {
    static const struct {
        std::string_view name;
        Tag tag;
    } tags[] = {
        {"b", Tag::Bold}, {"strong", Tag::Bold}, {"i", Tag::Italic}, {"u", Tag::Underline},
        {"br", Tag::LineBreak}, {"li", Tag::ListItem}, {"p", Tag::Paragraph},
        {"body", Tag::Body}, {"font", Tag::Font}, {"a", Tag::Anchor}, {"span", Tag::Span},
        {"div", Tag::Div}, {"table", Tag::Table}, {"col", Tag::Column}, {"tr", Tag::Row}, {"td", Tag::Cell},
        {"/b", Tag::EndBold}, {"/strong", Tag::EndBold}, {"/i", Tag::EndItalic}, {"/u", Tag::EndUnderline},
        {"/tr", Tag::EndRow}, {"/td", Tag::EndCell},
        {"/body", Tag::EndBody}, {"/font", Tag::EndFont}, {"/a", Tag::EndAnchor}, {"/span", Tag::EndSpan},
        {"/div", Tag::EndDiv}, {"/table", Tag::EndTable},
    };
    for (const auto& t : tags)
        if (t.name == name) return t.tag;
    return Tag::Unknown;
}

bool opensGroup(Tag tag) {
    return tag == Tag::Body || tag == Tag::Font || tag == Tag::Anchor || tag == Tag::Span || tag == Tag::Div ||
           tag == Tag::Table;
}

bool closesGroup(Tag tag) {
    return tag == Tag::EndBody || tag == Tag::EndFont || tag == Tag::EndAnchor || tag == Tag::EndSpan ||
           tag == Tag::EndDiv || tag == Tag::EndTable;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

// Control word parameters stay in the 32-bit range that RTF readers take.
int32_t clampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

int fontSizeOf(int32_t htmlSize) {
    switch (htmlSize) {
    case 1: return 15;
    case 2: return 20;
    case 3: return 24;
    case 4: return 27;
    case 5: return 36;
    case 6: return 48;
    case 7: return 72;
    default: return 24;
    }
}

void appendNumber(std::string& out, int64_t n) { out += std::to_string(n); }

}  // namespace

Html2RtfBody::Html2RtfBody(RtfFontTable& fonts, RtfColourTable& colours, std::vector<Html2RtfLink>& links,
                           const Html2RtfDisplay& display, RgbColour& pageBackground)
    : m_fonts(fonts), m_colours(colours), m_links(links), m_display(display), m_pageBackground(pageBackground) {
    const int ppi = display.pixels_per_inch > 0 ? display.pixels_per_inch : 96;
    m_twipsPerPixel = 1440 / ppi;
}

bool Html2RtfBody::convert(std::string_view html, const Html2RtfFormat& initial, RtfWriter& out) {
    m_format = initial;
    m_stack.clear();
    m_position = 0;
    m_atLineStart = false;
    m_afterSpace = true;
    m_cellEdge = 0;
    m_linkPending = false;

    size_t at = 0;
    for (;;) {
        copyText(html, at, out);
        if (at >= html.size()) break;
        ++at;  // the "<"
        const size_t close = html.find('>', at);
        const size_t end = close == std::string_view::npos ? html.size() : close;
        if (!handleTag(html.substr(at, end - at), out)) return false;
        at = close == std::string_view::npos ? html.size() : close + 1;
    }
    for (size_t open = m_stack.size(); open > 0; --open) out.markup("}");
    m_stack.clear();
    return true;
}

void Html2RtfBody::copyText(std::string_view html, size_t& at, RtfWriter& out) {
    while (at < html.size()) {
        const char c = html[at];
        switch (c) {
        case '<':
            return;
        case '\\':
        case '{':
        case '}': {
            const char escaped[] = {'\\', c, '\0'};
            out.markup(escaped);
            ++m_position;
            m_atLineStart = m_afterSpace = false;
            ++at;
            break;
        }
        case '\r':
            ++at;
            break;
        case '\n':
            // Written without marking a space: two line feeds give two spaces.
            if (!m_afterSpace) {
                out.text(' ');
                ++m_position;
            }
            ++at;
            break;
        case ' ':
        case '\t':
            if (!m_atLineStart && !m_afterSpace) {
                out.text(' ');
                ++m_position;
            }
            m_afterSpace = true;
            ++at;
            break;
        case '&':
            writeEntity(html, at, out);
            m_atLineStart = m_afterSpace = false;
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x80) {
                out.text(c);
                ++m_position;
                ++at;
            } else {
                m_position += out.unicode(read_utf8_character(html, at));
            }
            m_atLineStart = m_afterSpace = false;
            break;
        }
    }
}

void Html2RtfBody::writeEntity(std::string_view html, size_t& at, RtfWriter& out) {
    const HtmlEntity entity = read_html_entity(html.substr(at));
    at += entity.length;
    switch (entity.kind) {
    case HtmlEntity::NotAnEntity:
        out.text('&');
        ++m_position;
        break;
    case HtmlEntity::NoBreakSpace:
        out.markup("\\~");
        ++m_position;
        break;
    case HtmlEntity::Character:
        out.text(entity.character);
        ++m_position;
        break;
    case HtmlEntity::Numeric:
        m_position += out.unicode(entity.code_point);
        break;
    }
}

bool Html2RtfBody::handleTag(std::string_view tagText, RtfWriter& out) {
    size_t nameLength = 0;
    while (nameLength < tagText.size() && isNameCharacter(tagText[nameLength])) ++nameLength;
    m_tagName.assign(tagText.data(), nameLength);
    for (char& c : m_tagName)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    size_t attributesStart = nameLength;
    while (attributesStart < tagText.size() && isSpace(tagText[attributesStart])) ++attributesStart;
    const std::string_view attributes = tagText.substr(attributesStart);

    const Tag tag = tagOf(m_tagName);
    const Html2RtfFormat previous = m_format;
    const bool wasAtLineStart = m_atLineStart;
    m_atLineStart = false;
    m_tagOutput.clear();
    std::string& o = m_tagOutput;

    switch (tag) {
    case Tag::Unknown: break;
    case Tag::Bold: o = "\\b1 "; break;
    case Tag::Italic: o = "\\i1 "; break;
    case Tag::Underline: o = "\\ul1 "; break;
    case Tag::LineBreak:
        o = "\\line ";
        ++m_position;
        m_atLineStart = m_afterSpace = true;
        break;
    case Tag::ListItem:
        // A space, a bullet, a space; the item starts no new line.
        o = " \\u8226* ";
        m_position += 3;
        m_afterSpace = true;
        break;
    case Tag::Paragraph:
        if (!wasAtLineStart) {
            o = "\\par";
            ++m_position;
        }
        o += "\\par ";
        ++m_position;
        m_atLineStart = m_afterSpace = true;
        break;
    case Tag::Body:
        m_format.margin_left = m_format.margin_right = m_format.margin_top = m_format.margin_bottom = 8;
        readGroupAttributes(tag, attributes);
        o = "\\margt";
        appendNumber(o, clampToInt32(int64_t(m_format.margin_top) * m_twipsPerPixel));
        o += "\\margb";
        appendNumber(o, clampToInt32(int64_t(m_format.margin_bottom) * m_twipsPerPixel));
        o += "\\li";
        appendNumber(o, clampToInt32(int64_t(m_format.margin_left) * m_twipsPerPixel));
        o += "\\ri";
        appendNumber(o, clampToInt32(int64_t(m_format.margin_right) * m_twipsPerPixel));
        break;
    case Tag::Font:
    case Tag::Anchor:
    case Tag::Span:
        readGroupAttributes(tag, attributes);
        break;
    case Tag::Div:
        if (!wasAtLineStart) {
            o = "\\par ";
            ++m_position;
            m_atLineStart = m_afterSpace = true;
        }
        if (auto align = html_attribute(attributes, "align")) {
            if (*align == "center") o += "\\qc ";
            else if (*align == "left") o += "\\ql ";
            else if (*align == "right") o += "\\qr ";
            else if (*align == "justify") o += "\\qj ";
        }
        if (html_attribute(attributes, "nowrap")) o += "\\nowwrap ";
        readGroupAttributes(tag, attributes);
        break;
    case Tag::Table: {
        const auto border = html_attribute(attributes, "border");
        const int32_t width = border ? html_number(*border) : 0;
        o = "\\par\\trowd \\trgaph108\\trleft-108";
        for (const char* side : {"\\trbrdrt", "\\trbrdrl", "\\trbrdrb", "\\trbrdrr"}) {
            o += side;
            o += "\\brdrs\\brdrw";
            appendNumber(o, width);
            o += ' ';
        }
        ++m_position;
        m_afterSpace = true;
        m_cellEdge = 0;
        readGroupAttributes(tag, attributes);
        break;
    }
    case Tag::Column: {
        const auto width = html_attribute(attributes, "width");
        m_cellEdge = clampToInt32(m_cellEdge + int64_t(width ? html_number(*width) : 0) * m_twipsPerPixel);
        o = "\\clbrdrt\\brdrw15\\brdrs\\clbrdrl\\brdrw15\\brdrs\\clbrdrb\\brdrw15\\brdrs\\clbrdrr\\brdrw15\\brdrs"
            "\\cellx";
        appendNumber(o, m_cellEdge);
        m_afterSpace = true;
        break;
    }
    case Tag::Row:
        o = "\\intbl ";
        m_afterSpace = true;
        break;
    case Tag::Cell:
        o = "\\par ";
        ++m_position;
        m_afterSpace = true;
        break;
    case Tag::EndBold: o = "\\b0 "; break;
    case Tag::EndItalic: o = "\\i0 "; break;
    case Tag::EndUnderline: o = "\\ulnone "; break;
    case Tag::EndRow:
        o = "\\row ";
        ++m_position;
        m_afterSpace = true;
        break;
    case Tag::EndCell:
        o = "\\cell ";
        ++m_position;
        m_afterSpace = true;
        break;
    case Tag::EndBody:
    case Tag::EndFont:
    case Tag::EndSpan:
    case Tag::EndAnchor:
        break;
    case Tag::EndDiv:
        o = "\\par ";
        ++m_position;
        m_atLineStart = m_afterSpace = true;
        break;
    case Tag::EndTable:
        m_atLineStart = m_afterSpace = true;
        break;
    }

    if (opensGroup(tag)) {
        m_stack.push_back(previous);
        out.markup("{");
        out.markup(o);
        writeFormatChanges(previous, out);
    } else if (closesGroup(tag)) {
        if (m_stack.empty()) return false;
        m_format = m_stack.back();
        m_stack.pop_back();
        if (tag == Tag::EndAnchor) closeLink();
        out.markup(o);
        out.markup("}\r\n");
    } else {
        out.markup(o);
    }
    return true;
}

void Html2RtfBody::readGroupAttributes(Tag tag, std::string_view attributes) {
    const SystemColours& system = m_display.colours;
    if (tag == Tag::Body) {
        if (auto bgcolor = html_attribute(attributes, "bgcolor")) {
            const RgbColour colour = html_colour(*bgcolor, system);
            m_format.background_colour = m_colours.indexOf(colour);
            m_pageBackground = colour;
        }
        const struct {
            const char* name;
            int32_t Html2RtfFormat::*margin;
        } margins[] = {{"leftmargin", &Html2RtfFormat::margin_left},
                       {"rightmargin", &Html2RtfFormat::margin_right},
                       {"topmargin", &Html2RtfFormat::margin_top},
                       {"bottommargin", &Html2RtfFormat::margin_bottom}};
        for (const auto& m : margins)
            if (auto value = html_attribute(attributes, m.name)) m_format.*m.margin = html_number(*value);
    } else if (tag == Tag::Font) {
        if (auto color = html_attribute(attributes, "color"))
            m_format.text_colour = m_colours.indexOf(html_colour(*color, system));
        if (auto size = html_attribute(attributes, "size")) m_format.size = fontSizeOf(html_number(*size));
        if (auto face = html_attribute(attributes, "face")) m_format.face = rtf_face_name(*face);
    } else if (tag == Tag::Anchor) {
        if (auto href = html_attribute(attributes, "href")) {
            m_linkPending = true;
            m_pendingLink.url.assign(href->data(), href->size());
            m_pendingLink.start = m_position;
        }
    }

    // Style properties, for every tag that opens a group. The search for "color" also
    // finds it inside "background-color".
    if (attributes.find("style=") == std::string_view::npos) return;
    if (auto color = html_style_property(attributes, "color"))
        m_format.text_colour = m_colours.indexOf(html_colour(*color, system));
    if (auto background = html_style_property(attributes, "background-color"))
        m_format.background_colour = m_colours.indexOf(html_colour(*background, system));
}

void Html2RtfBody::writeFormatChanges(const Html2RtfFormat& previous, RtfWriter& out) {
    std::string changes;
    if (m_format.text_colour != previous.text_colour) {
        changes += "\\cf";
        appendNumber(changes, int64_t(m_format.text_colour) + 1);
    }
    if (m_format.background_colour != previous.background_colour) {
        changes += "\\highlight";
        appendNumber(changes, int64_t(m_format.background_colour) + 1);
    }
    if (m_format.size != previous.size) {
        changes += "\\fs";
        appendNumber(changes, m_format.size);
    }
    if (m_format.face != previous.face) {
        changes += "\\f";
        appendNumber(changes, int64_t(m_fonts.numberOf(m_format.face)));
    }
    if (changes.empty()) return;
    changes += ' ';
    out.markup(changes);
}

void Html2RtfBody::closeLink() {
    // Each href gives at most one link, and an empty one marks nothing: starts then
    // strictly increase, which the lookup of a clicked link relies on.
    if (m_linkPending && m_position > m_pendingLink.start) {
        m_pendingLink.end = m_position;
        m_links.push_back(m_pendingLink);
    }
    m_linkPending = false;
}
