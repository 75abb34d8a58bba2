#include "upkeep/review/html_entities.h"

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kReplacementCharacter = 0xFFFD;

int digitValue(char c, bool hexadecimal) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hexadecimal) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

HtmlEntity readNumeric(std::string_view text) {
    size_t at = 2;  // past "&#"
    const bool hexadecimal = at < text.size() && text[at] == 'x';
    if (hexadecimal) ++at;
    const char32_t base = hexadecimal ? 16 : 10;
    // Long runs of digits stay above the last code point instead of wrapping.
    char32_t n = 0;
    for (int d; at < text.size() && (d = digitValue(text[at], hexadecimal)) >= 0; ++at)
        n = n > kLastCodePoint ? n : n * base + char32_t(d);
    while (at < text.size() && text[at] == ';') ++at;

    HtmlEntity entity;
    entity.kind = HtmlEntity::Numeric;
    entity.code_point = (n > kLastCodePoint || (n >= 0xD800 && n <= 0xDFFF)) ? kReplacementCharacter : n;
    entity.length = at;
    return entity;
}

}  // namespace

HtmlEntity read_html_entity(std::string_view text) {
    if (text.size() >= 2 && text[1] == '#') return readNumeric(text);

    static const struct {
        std::string_view name;
        HtmlEntity::Kind kind;
        char character;
    } names[] = {
        {"nbsp;", HtmlEntity::NoBreakSpace, 0},
        {"quot;", HtmlEntity::Character, '"'},
        {"amp;", HtmlEntity::Character, '&'},
        {"lt;", HtmlEntity::Character, '<'},
        {"gt;", HtmlEntity::Character, '>'},
    };
    const std::string_view afterAmpersand = text.substr(1);
    for (const auto& n : names) {
        if (!startsWithIgnoringAsciiCase(afterAmpersand, n.name)) continue;
        HtmlEntity entity;
        entity.kind = n.kind;
        entity.character = n.character;
        entity.length = 1 + n.name.size();
        return entity;
    }
    return {};
}
