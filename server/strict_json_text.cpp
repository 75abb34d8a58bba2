#include "strict_json_text.h"

#include "upkeep/checking/json_writer.h"

std::string strict_json_text(const JSONValue& document) {
    std::string raw;
    JSONWrite(document, raw);
    // The writer puts no whitespace between tokens, so every byte below 0x20 in its
    // output is inside a string.
    static const char hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(raw.size());
    for (char ch : raw) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20) {
            text += "\\u00";
            text += hex[c >> 4];
            text += hex[c & 15];
        } else {
            text += ch;
        }
    }
    return text;
}
