#include "upkeep/checking/json_writer.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const int64_t kLargestBareInteger = 2147483647;
const int kRealDecimals = 7;
const double kRealScale = 10000000.0;
// 2^63: the first scaled value that does not fit a signed 64-bit integer.
const double kScaledLimit = 9223372036854775808.0;

void writeInteger(int64_t value, std::string& out) {
    const bool bare = value >= -kLargestBareInteger && value <= kLargestBareInteger;
    if (!bare) out += '"';
    out += std::to_string(value);
    if (!bare) out += '"';
}

// floor(|x| * 10^7 + 0.5) in 64 bits: saturated above, 0 for NaN.
int64_t scaledMagnitude(double x) {
    if (std::isnan(x)) return 0;
    // Rounded half up without adding 0.5 in floating point: from 2^52 on, y + 0.5
    // would round to even, and just below 0.5 it would round up to 1.
    const double y = std::fabs(x) * kRealScale;
    const double whole = std::floor(y);
    const double scaled = y - whole >= 0.5 ? whole + 1 : whole;
    if (scaled >= kScaledLimit) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(scaled);
}

void writeReal(double x, std::string& out) {
    const int64_t scaled = scaledMagnitude(x);
    const std::string digits = std::to_string(scaled);
    if (x < 0 && scaled > 0) out += '-';
    if (digits.size() > static_cast<size_t>(kRealDecimals)) {
        out.append(digits, 0, digits.size() - kRealDecimals);
        out += '.';
        out.append(digits, digits.size() - kRealDecimals, std::string::npos);
    } else {
        out += "0.";
        out.append(kRealDecimals - digits.size(), '0');
        out += digits;
    }
}

// The escape for a byte, or nullptr when the byte is written as it is.
const char* escapeFor(unsigned char byte) {
    switch (byte) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '/': return "\\/";
    case 0x08: return "\\b";
    case 0x09: return "\\t";
    case 0x0A: return "\\n";
    case 0x0C: return "\\f";
    case 0x0D: return "\\r";
    default: return nullptr;
    }
}

void writeString(const std::string& text, std::string& out) {
    out += '"';
    size_t plainFrom = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* escape = escapeFor(static_cast<unsigned char>(text[i]));
        if (!escape) continue;
        out.append(text, plainFrom, i - plainFrom);
        out += escape;
        plainFrom = i + 1;
    }
    out.append(text, plainFrom, std::string::npos);
    out += '"';
}

}  // namespace

void JSONWrite(const JSONValue& value, std::string& out) {
    switch (value.kind()) {
    case JSONValue::Null: out += "null"; break;
    case JSONValue::Boolean: out += value.getBoolean() ? "true" : "false"; break;
    case JSONValue::Integer: writeInteger(value.getInteger(), out); break;
    case JSONValue::Real: writeReal(value.getReal(), out); break;
    case JSONValue::String: writeString(value.getString(), out); break;
    case JSONValue::Array: {
        out += '[';
        const size_t size = value.arraySize();
        for (size_t i = 0; i < size; ++i) {
            if (i) out += ',';
            JSONWrite(*value.arrayItem(i), out);
        }
        out += ']';
        break;
    }
    case JSONValue::Object: {
        out += '{';
        bool first = true;
        for (const auto& [name, member] : value.objectMembers()) {
            if (!first) out += ',';
            first = false;
            writeString(name, out);
            out += ':';
            JSONWrite(*member, out);
        }
        out += '}';
        break;
    }
    }
}
