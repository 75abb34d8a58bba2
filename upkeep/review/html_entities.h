// The character references the converter understands: "&#N;", "&#xH;" and the names
// nbsp, quot, amp, lt and gt. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct HtmlEntity {
    enum Kind {
        NotAnEntity,  // the "&" is text
        Numeric,      // code_point holds the character
        NoBreakSpace,
        Character,    // character holds '"', '&', '<' or '>'
    };
    Kind kind = NotAnEntity;
    char32_t code_point = 0;
    char character = '&';
    size_t length = 1;  // bytes of the input taken, the "&" included
};

// Reads the reference at the start of `text`, which begins with "&". Numeric
// references: decimal after "&#", hexadecimal after "&#x" (lower-case x only); a
// missing number is 0; every ";" directly after the number is taken, none is needed.
// A number that is no Unicode scalar value (a surrogate or beyond U+10FFFF) reads as
// U+FFFD. Names need their ";" and ignore ASCII case.
HtmlEntity read_html_entity(std::string_view text);
