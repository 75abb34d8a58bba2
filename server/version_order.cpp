#include "version_order.h"

#include <cstddef>

#include "ascii_text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

int sign(int v) { return (v > 0) - (v < 0); }

// Compares two runs of decimal digits by value, without converting them (they may
// be longer than any integer type).
int compare_numbers(std::string_view a, std::string_view b) {
    while (!a.empty() && a.front() == '0') a.remove_prefix(1);
    while (!b.empty() && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

std::string_view take_digits(std::string_view& text) {
    size_t n = 0;
    while (n < text.size() && is_digit(text[n])) ++n;
    std::string_view run = text.substr(0, n);
    text.remove_prefix(n);
    return run;
}

std::string_view take_non_digits(std::string_view& text) {
    size_t n = 0;
    while (n < text.size() && !is_digit(text[n])) ++n;
    std::string_view run = text.substr(0, n);
    text.remove_prefix(n);
    return run;
}

int compare_text_runs(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        unsigned char ca = static_cast<unsigned char>(ascii_lower(a[i]));
        unsigned char cb = static_cast<unsigned char>(ascii_lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Natural order of two non-empty suffixes.
int compare_suffixes(std::string_view a, std::string_view b) {
    while (!a.empty() && !b.empty()) {
        bool a_digits = is_digit(a.front()), b_digits = is_digit(b.front());
        if (a_digits != b_digits) return a_digits ? -1 : 1;
        int c = a_digits ? compare_numbers(take_digits(a), take_digits(b))
                         : compare_text_runs(take_non_digits(a), take_non_digits(b));
        if (c != 0) return c;
    }
    return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
}

int compare_parts(std::string_view a, std::string_view b) {
    int c = compare_numbers(take_digits(a), take_digits(b));
    if (c != 0) return c;
    if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? 1 : -1);
    return compare_suffixes(a, b);
}

std::string_view before_first_blank(std::string_view text) {
    size_t n = 0;
    while (n < text.size() && !is_blank(text[n])) ++n;
    return text.substr(0, n);
}

// Takes the next dotted part; an exhausted text yields empty parts (value 0).
std::string_view take_part(std::string_view& text) {
    size_t dot = text.find('.');
    std::string_view part = text.substr(0, dot);
    text.remove_prefix(dot == std::string_view::npos ? text.size() : dot + 1);
    return part;
}

}  // namespace

int compare_versions(std::string_view a, std::string_view b) {
    a = before_first_blank(a);
    b = before_first_blank(b);
    while (!a.empty() || !b.empty()) {
        int c = compare_parts(take_part(a), take_part(b));
        if (c != 0) return c;
    }
    return 0;
}
