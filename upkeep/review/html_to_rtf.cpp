#include "upkeep/review/html_to_rtf.h"

#include <algorithm>

#include "frame/scope_marker.h"
#include "upkeep/review/html_to_rtf_body.h"
#include "upkeep/review/rtf_writer.h"

namespace {

// The input ends at its first NUL.
std::string_view untilNul(std::string_view text) {
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// The body often grows past its input ("<p>" gives "\par\par "): start at twice the
// input and let the buffer grow from there.
size_t initialCapacity(size_t inputLength) { return std::max<size_t>(1000, inputLength * 2); }

}  // namespace

int html2rtf_default_size(int32_t height) {
    if (height >= 36) return 72;
    if (height >= 24) return 48;
    if (height >= 18) return 36;
    if (height >= 16) return 32;
    if (height >= 14) return 28;
    if (height >= 12) return 24;
    if (height >= 10) return 20;
    if (height >= 8) return 18;
    return 24;  // negative (character) heights included
}

void Html2Rtf::beginDocument(const Html2RtfFont& font, RgbColour text, RgbColour background) {
    m_fonts.clear();
    m_fonts.numberOf(rtf_face_name(font.face));
    m_colours.clear();
    m_colours.append(text);
    m_colours.append(background);
    m_links.clear();
    m_textLength = 0;
}

std::string Html2Rtf::assemble(int defaultSize, const std::string& body) const {
    std::string out;
    out.reserve(body.size() + 200 + 80 * (m_fonts.faces().size() + m_colours.colours().size()));
    out += "{\\rtf1\\ansi\\deff0";
    m_fonts.write(out);
    m_colours.write(out);
    out += "\\pard\\plain\\tx0\\fs";
    out += std::to_string(defaultSize);
    out += body;
    out += '}';
    return out;
}

std::optional<std::string> Html2Rtf::Convert(std::string_view html, const Html2RtfFont& font, RgbColour text,
                                             RgbColour& background, const Html2RtfDisplay& display) {
    scope_marker marker("Html2Rtf");
    html = untilNul(html);
    beginDocument(font, text, background);

    Html2RtfFormat initial;
    initial.face = m_fonts.faces()[0];
    initial.size = html2rtf_default_size(font.height);
    initial.text_colour = 0;
    initial.background_colour = 1;

    RgbColour pageBackground = background;
    Html2RtfBody body(m_fonts, m_colours, m_links, display, pageBackground);
    RtfWriter writer(initialCapacity(html.size()), true);
    if (!body.convert(html, initial, writer)) {
        m_links.clear();
        return std::nullopt;
    }
    background = pageBackground;
    m_textLength = body.position();
    return assemble(initial.size, writer.buffer());
}

std::string Html2Rtf::ConvertPlainText(std::string_view text, const Html2RtfFont& font, RgbColour textColour,
                                       RgbColour background) {
    scope_marker marker("Html2Rtf");
    text = untilNul(text);
    beginDocument(font, textColour, background);

    RtfWriter writer(initialCapacity(text.size()), true);
    size_t length = 0;
    for (size_t at = 0; at < text.size();) {
        const char c = text[at++];
        switch (c) {
        case '\\':
        case '{':
        case '}': {
            const char escaped[] = {'\\', c, '\0'};
            writer.markup(escaped);
            ++length;
            break;
        }
        case '\r': break;
        case '\n': writer.markup("\\line "); ++length; break;
        case '\t': writer.markup("\\tab "); ++length; break;
        default:
            if (static_cast<unsigned char>(c) < 0x80) {
                writer.text(c);
                ++length;
            } else {
                --at;
                length += writer.unicode(read_utf8_character(text, at));
            }
            break;
        }
    }
    m_textLength = length;
    return assemble(html2rtf_default_size(font.height), writer.buffer());
}

const Html2RtfLink* Html2Rtf::LinkStartingAt(size_t position) const {
    const auto found = std::lower_bound(m_links.begin(), m_links.end(), position,
                                        [](const Html2RtfLink& link, size_t p) { return link.start < p; });
    return found != m_links.end() && found->start == position ? &*found : nullptr;
}
