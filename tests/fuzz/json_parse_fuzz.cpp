// Feeds arbitrary bytes to the JSON parser, strict and lenient. Properties: no crash,
// no exception other than JSONParserException; the lenient parser reads everything the
// strict one reads, to the same document; and whatever parses, written and parsed
// again, writes the same text. The one allowed difference: a real past about 2.2e8,
// whose 7-decimal text holds more digits than a double keeps, may come back one
// double away.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "upkeep/checking/json_parser.h"
#include "upkeep/checking/json_writer.h"

namespace {

std::string written(const JSONValue& value) {
    std::string out;
    JSONWrite(value, out);
    return out;
}

JSONValuePtr tryParse(const std::string& text, bool lenient) {
    JSONParseOptions options;
    options.acceptRawControlBytes = lenient;
    try {
        return JSONParse(text.data(), text.size(), options);
    } catch (const JSONParserException&) {
        return nullptr;
    }
}

bool realsAgree(double a, double b) {
    if (a == b) return true;
    return std::fabs(a) > 2.2e8 && (std::nextafter(a, b) == b || std::nextafter(std::nextafter(a, b), b) == b);
}

bool sameDocument(const JSONValue& a, const JSONValue& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
    case JSONValue::Null: return true;
    case JSONValue::Boolean: return a.getBoolean() == b.getBoolean();
    case JSONValue::Integer: return a.getInteger() == b.getInteger();
    case JSONValue::Real: return realsAgree(a.getReal(), b.getReal());
    case JSONValue::String: return a.getString() == b.getString();
    case JSONValue::Array:
        if (a.arraySize() != b.arraySize()) return false;
        for (size_t i = 0; i < a.arraySize(); ++i)
            if (!sameDocument(*a.arrayItem(i), *b.arrayItem(i))) return false;
        return true;
    case JSONValue::Object: {
        const auto& membersA = a.objectMembers();
        const auto& membersB = b.objectMembers();
        if (membersA.size() != membersB.size()) return false;
        for (auto i = membersA.begin(), j = membersB.begin(); i != membersA.end(); ++i, ++j)
            if (i->first != j->first || !sameDocument(*i->second, *j->second)) return false;
        return true;
    }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const JSONValuePtr strict = tryParse(input, false);
    const JSONValuePtr lenient = tryParse(input, true);
    if (strict && (!lenient || written(*strict) != written(*lenient))) std::abort();
    if (!lenient) return 0;

    // Written text may hold raw control bytes (from \u escapes): the lenient parser
    // reads it, as the update server reads the client's requests.
    const std::string first = written(*lenient);
    const JSONValuePtr again = tryParse(first, true);
    if (!again) std::abort();
    const std::string second = written(*again);
    if (second == first) return 0;
    const JSONValuePtr third = tryParse(second, true);
    if (!third || !sameDocument(*again, *third)) std::abort();
    return 0;
}
