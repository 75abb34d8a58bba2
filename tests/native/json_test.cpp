// The JSON model, writer and parser of the update protocol: which documents are read
// and to what, which are refused with which message, how values are written, the
// access errors, and reference counts shared across threads.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <thread>

#include "upkeep/checking/json_document_builder.h"
#include "upkeep/checking/json_parser.h"
#include "upkeep/checking/json_value.h"
#include "upkeep/checking/json_writer.h"

using namespace std::string_literals;

namespace {

JSONValuePtr parse(const std::string& text, const JSONParseOptions& options = {}) {
    return JSONParse(text.data(), text.size(), options);
}

std::string written(const JSONValue& value) {
    std::string out;
    JSONWrite(value, out);
    return out;
}

// The text the document is written as, or the parser's message.
std::string outcome(const std::string& text, const JSONParseOptions& options = {}) {
    try {
        return written(*parse(text, options));
    } catch (const JSONParserException& e) {
        return "error: "s + e.what();
    }
}

// The message of the JSONValueException that `access` throws.
std::string valueError(const std::function<void()>& access) {
    try {
        access();
    } catch (const JSONValueException& e) {
        return e.what();
    }
    return "<no error>";
}

std::string nested(int arrays) {
    return "{\"a\":" + std::string(arrays, '[') + std::string(arrays, ']') + "}";
}

const std::string kSyntaxError = "error: Syntax error.";

}  // namespace

TEST(JSONParse, AcceptedDocumentsReadAsWritten) {
    const struct {
        std::string text;
        std::string written;
    } cases[] = {
        {"{}", "{}"},
        {" \t\r\n{ \r\n}\n \t", "{}"},
        {"{ \"a\" : 1 , \"b\" : [ 1 , 2 ] , \"c\" : { } }", "{\"a\":1,\"b\":[1,2],\"c\":{}}"},
        {"{\"a\":[[],{},[[]]]}", "{\"a\":[[],{},[[]]]}"},
        {"{\"a\":[true,false,null],\"b\":true}", "{\"a\":[true,false,null],\"b\":true}"},
        // Members come out in ascending name order.
        {"{\"b\":1,\"a\":2,\"ab\":3,\"B\":4}", "{\"B\":4,\"a\":2,\"ab\":3,\"b\":1}"},
        // Numbers: a point may end a number; only a fraction lets zero take an exponent.
        {"{\"a\":1.}", "{\"a\":1.0000000}"},
        {"{\"a\":1.e2}", "{\"a\":100.0000000}"},
        {"{\"a\":0.e1}", "{\"a\":0.0000000}"},
        {"{\"a\":0.}", "{\"a\":0.0000000}"},
        {"{\"a\":-0}", "{\"a\":0}"},
        {"{\"a\":-0.5}", "{\"a\":-0.5000000}"},
        {"{\"a\":1e2,\"b\":1E+2,\"c\":25e-1,\"d\":2.5E1}",
         "{\"a\":100.0000000,\"b\":100.0000000,\"c\":2.5000000,\"d\":25.0000000}"},
        {"{\"a\":10,\"b\":-1234567890}", "{\"a\":10,\"b\":-1234567890}"},
        {"{\"a\":3000000000}", "{\"a\":\"3000000000\"}"},
        {"{\"a\":1 ,\"b\":2\t}", "{\"a\":1,\"b\":2}"},
        // Strings: the escapes, \u in one to four bytes of UTF-8, raw bytes from 0x20 up.
        {"{\"a\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"}", "{\"a\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"}"},
        {"{\"a\":\"\\u0041\\u00e9\\u20AC\\ud83d\\ude00\\u002f\"}", "{\"a\":\"A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\\/\"}"},
        {"{\"a\":\"\\uDBFF\\uDFFF\"}", "{\"a\":\"\xF4\x8F\xBF\xBF\"}"},
        {"{\"\xC3\xA9\":\"\xFF\x7F x\"}", "{\"\xC3\xA9\":\"\xFF\x7F x\"}"},
        // \u0000 cuts strings and names.
        {"{\"a\":\"x\\u0000y\"}", "{\"a\":\"x\"}"},
        {"{\"a\\u0000b\":1}", "{\"a\":1}"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.written, outcome(c.text)) << c.text;
}

TEST(JSONParse, RejectedDocumentsGiveTheirMessage) {
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", kSyntaxError},
        {"  \r\n\t", kSyntaxError},
        {"[]", "error: Root is not an object."},
        {"[{}]", "error: Root is not an object."},
        {"\"a\"", kSyntaxError},
        {"1", kSyntaxError},
        {"{", kSyntaxError},
        {"{\"a\":1", kSyntaxError},
        {"{\"a\":1,}", kSyntaxError},
        {"{\"a\":[1,]}", kSyntaxError},
        {"{,}", kSyntaxError},
        {"{\"a\" 1}", kSyntaxError},
        {"{a:1}", kSyntaxError},
        {"{\"a\":1 \"b\":2}", kSyntaxError},
        {"{\"a\":[1}", kSyntaxError},
        {"{\"a\":{]}", kSyntaxError},
        {"{\"a\":1]", kSyntaxError},
        {"{\"a\":1,\"a\":2}", "error: Duplicate object key."},
        {"{\"a\":1,\"a\":[", "error: Duplicate object key."},
        {"{\"a\":1,\"a\\u0000b\":2}", "error: Duplicate object key."},
        // A number or literal reaches the document only with the next ",", "}" or "]".
        {"{\"a\":1,\"a\":2 x}", kSyntaxError},
        // Numbers.
        {"{\"a\":0e1}", kSyntaxError},
        {"{\"a\":01}", kSyntaxError},
        {"{\"a\":-}", kSyntaxError},
        {"{\"a\":-a}", kSyntaxError},
        {"{\"a\":.5}", kSyntaxError},
        {"{\"a\":+1}", kSyntaxError},
        {"{\"a\":1e}", kSyntaxError},
        {"{\"a\":1e+}", kSyntaxError},
        {"{\"a\":1.5.}", kSyntaxError},
        {"{\"a\":1x}", kSyntaxError},
        {"{\"a\":1\"\"}", kSyntaxError},
        // Literals are spelled exactly.
        {"{\"a\":tru}", kSyntaxError},
        {"{\"a\":True}", kSyntaxError},
        {"{\"a\":nul}", kSyntaxError},
        {"{\"a\":falsey}", kSyntaxError},
        // Raw control bytes in strings, and anywhere else.
        {"{\"a\":\"x\ty\"}", kSyntaxError},
        {"{\"a\":\"x\ny\"}", kSyntaxError},
        {"{\"a\":\"x\ry\"}", kSyntaxError},
        {"{\"a\":\"x\x01y\"}", kSyntaxError},
        {"{\"a\":\"x\x1Fy\"}", kSyntaxError},
        {"{\"a\":\"x\0y\"}"s, kSyntaxError},
        {"{\x01\"a\":1}", kSyntaxError},
        // Escapes.
        {"{\"a\":\"\\x\"}", kSyntaxError},
        {"{\"a\":\"\\U0041\"}", kSyntaxError},
        {"{\"a\":\"\\u12\"}", kSyntaxError},
        {"{\"a\":\"\\u12G4\"}", kSyntaxError},
        {"{\"a\":\"\\ud800\"}", kSyntaxError},
        {"{\"a\":\"\\ud800x\"}", kSyntaxError},
        {"{\"a\":\"\\ud800\\n\"}", kSyntaxError},
        {"{\"a\":\"\\ud800\\u0041\"}", kSyntaxError},
        {"{\"a\":\"\\ud800\\ud800\"}", kSyntaxError},
        {"{\"a\":\"\\udc00\"}", kSyntaxError},
        {"{\"a\":\"\\udfff\\ud800\"}", kSyntaxError},
        // No comments.
        {"{/**/}", kSyntaxError},
        {"{\"a\"://x\n1}", kSyntaxError},
        // Only space and white may follow the root.
        {"{}x", kSyntaxError},
        {"{},", kSyntaxError},
        {"{}{}", kSyntaxError},
        {"{}}", kSyntaxError},
        {"{}]", kSyntaxError},
        {"{}\0"s, kSyntaxError},
        {"{} /", kSyntaxError},
    };
    for (const auto& c : cases) EXPECT_EQ(c.error, outcome(c.text)) << c.text;
}

TEST(JSONParse, AtMost126ContainersAreOpenAtOnce) {
    // The root object and 125 arrays; one more array is refused.
    EXPECT_EQ(nested(125), outcome(nested(125)));
    EXPECT_EQ(kSyntaxError, outcome(nested(126)));
    std::string objects;
    for (int i = 0; i < 126; ++i) objects += "{\"a\":";
    objects += "1" + std::string(126, '}');
    EXPECT_EQ(objects, outcome(objects));
    EXPECT_EQ(kSyntaxError, outcome("{\"a\":" + objects + "}"));
    // Closing containers frees their room.
    const std::string siblings = "{\"a\":[" + nested(123) + "," + nested(123) + "]}";
    EXPECT_EQ(siblings, outcome(siblings));
}

TEST(JSONParse, NumbersKeepTheirKindAndSaturateAtThe64BitLimits) {
    const struct {
        const char* number;
        int64_t value;
    } integers[] = {
        {"0", 0},
        {"-0", 0},
        {"2147483648", 2147483648LL},
        {"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"9223372036854775808", std::numeric_limits<int64_t>::max()},
        {"99999999999999999999999", std::numeric_limits<int64_t>::max()},
        {"-9223372036854775807", -std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"-9223372036854775809", std::numeric_limits<int64_t>::min()},
        {"-123456789012345678901234567890", std::numeric_limits<int64_t>::min()},
    };
    for (const auto& c : integers) {
        JSONValuePtr a = parse("{\"a\":"s + c.number + "}")->objectMember("a");
        ASSERT_EQ(JSONValue::Integer, a->kind()) << c.number;
        EXPECT_EQ(c.value, a->getInteger()) << c.number;
    }
    const struct {
        const char* number;
        double value;
    } reals[] = {
        {"1.", 1.0},
        {"-1.5e3", -1500.0},
        {"0.e1", 0.0},
        {"1e0", 1.0},
        {"123.456", 123.456},
        {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL},
        {"1e-400", 0.0},
    };
    for (const auto& c : reals) {
        JSONValuePtr a = parse("{\"a\":"s + c.number + "}")->objectMember("a");
        ASSERT_EQ(JSONValue::Real, a->kind()) << c.number;
        EXPECT_EQ(c.value, a->getReal()) << c.number;
    }
}

TEST(JSONParse, RealsReadTheSameUnderALocaleWithADecimalComma) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    double value = 0;
    try {
        value = parse("{\"a\":1.25e1}")->objectMember("a")->getReal();
    } catch (...) {
        std::setlocale(LC_NUMERIC, previous.c_str());
        throw;
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(12.5, value);
}

TEST(JSONParse, TokensOfAnyLengthCrossTheBufferSize) {
    // The token buffer starts at 3500 bytes: strings and numbers around and far past it.
    for (size_t length : {3499u, 3500u, 3501u, 7000u, 7001u, 100000u}) {
        std::string text(length, 'x');
        text[length / 2] = '"';  // escaped below, so one byte of text from two of input
        std::string escaped;
        for (char c : text) escaped += c == '"' ? "\\\""s : std::string(1, c);
        // A four-byte character at the end, from a surrogate pair.
        JSONValuePtr doc = parse("{\"a\":\"" + escaped + "\\ud83d\\ude00\",\"n\":1" + std::string(length, '0') + "}");
        EXPECT_EQ(text + "\xF0\x9F\x98\x80", doc->objectMember("a")->getString()) << length;
        EXPECT_EQ(std::numeric_limits<int64_t>::max(), doc->objectMember("n")->getInteger()) << length;
    }
}

TEST(JSONParse, RawControlBytesInStringsOnlyWhenAskedFor) {
    JSONParseOptions lenient;
    lenient.acceptRawControlBytes = true;
    const std::string text = "{\"a\":\"\t\n\r\x01\x0B\x1F\0.\"}"s;
    EXPECT_EQ(kSyntaxError, outcome(text));
    JSONValuePtr doc = parse(text, lenient);
    EXPECT_EQ("\t\n\r\x01\x0B\x1F", doc->objectMember("a")->getString());
    // Outside strings the lenient parser is as strict as the other.
    EXPECT_EQ(kSyntaxError, outcome("{\x01\"a\":1}", lenient));
    EXPECT_EQ(kSyntaxError, outcome("{\"a\":1\x0B}", lenient));
}

TEST(JSONParse, TheLenientParserReadsEveryStringTheWriterWrites) {
    // Every byte but zero, as a name and as a value: the update server must read
    // whatever the client writes.
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    JSONValuePtr request = JSONValue::newObject();
    request->objectSet(all.c_str(), JSONValue::newString(all));
    std::string text;
    JSONWrite(*request, text);
    EXPECT_EQ(kSyntaxError, outcome(text));
    JSONParseOptions lenient;
    lenient.acceptRawControlBytes = true;
    JSONValuePtr read = parse(text, lenient);
    EXPECT_EQ(all, read->objectMember(all.c_str())->getString());
}

TEST(JSONParse, ReadsAnUpdateAnswer) {
    const std::string answer =
        "{\"key\":\"133497245290000000http:\\/\\/updates.example\\/au\",\"message\":\"Maintenance tonight.\","
        "\"updates\":[{\"curVersion\":\"1.0\",\"details\":\"<p>Faster &amp; smaller<\\/p>\\n<ul><li>One<\\/li><\\/ul>\","
        "\"fileName\":\"vel_porter.dll\",\"name\":\"Send to Device\",\"state\":2,\"version\":\"1.1.2\","
        "\"versionDate\":\"2007-11-28\"},"
        "{\"curVersion\":\"1\",\"fileName\":\"x.dll\",\"ignoreReason\":\"beta\",\"name\":\"X\",\"state\":3}],"
        "\"version\":\"1.1\"}";
    JSONValuePtr doc = parse(answer);
    doc->checkStringMember("version", false);
    doc->checkStringMember("message", true);
    EXPECT_EQ("1.1", doc->objectMember("version")->getString());
    JSONValuePtr updates = doc->objectMember("updates");
    ASSERT_EQ(2u, updates->arraySize());
    JSONValuePtr first = updates->arrayItem(0);
    EXPECT_EQ(2, first->objectMember("state")->getInteger());
    EXPECT_EQ("vel_porter.dll", first->objectMember("fileName")->getString());
    EXPECT_EQ("<p>Faster &amp; smaller</p>\n<ul><li>One</li></ul>", first->objectMember("details")->getString());
    EXPECT_EQ(nullptr, updates->arrayItem(1)->objectMember("version", true));
    // The update list marks entries hidden and takes the mark away again.
    first->objectSet("_hidden", JSONValue::newBoolean(true));
    EXPECT_TRUE(first->objectMember("_hidden")->getBoolean());
    EXPECT_TRUE(first->objectRemove("_hidden"));
    EXPECT_FALSE(first->objectRemove("_hidden"));
    // Written and read again, the answer is the same text.
    EXPECT_EQ(answer, written(*parse(written(*doc))));
    EXPECT_EQ(answer, written(*doc));
}

TEST(JSONDocumentBuilder, RefusesTokensAfterTheRootIsClosed) {
    JSONDocumentBuilder builder;
    builder.objectStart();
    builder.key("a", 1);
    builder.integerValue(1);
    builder.objectEnd();
    const struct {
        const char* what;
        std::function<void()> event;
    } events[] = {
        {"object start", [&] { builder.objectStart(); }},
        {"array start", [&] { builder.arrayStart(); }},
        {"object end", [&] { builder.objectEnd(); }},
        {"key", [&] { builder.key("b", 1); }},
        {"value", [&] { builder.nullValue(); }},
    };
    for (const auto& e : events) {
        try {
            e.event();
            ADD_FAILURE() << e.what << " was taken";
        } catch (const JSONParserException& error) {
            EXPECT_STREQ("Got token after end of data.", error.what()) << e.what;
        }
    }
    EXPECT_EQ("{\"a\":1}", written(*builder.root()));
}

TEST(JSONWrite, WritesEachKindCompactly) {
    auto object = [](std::initializer_list<std::pair<const char*, JSONValuePtr>> members) {
        JSONValuePtr o = JSONValue::newObject();
        for (const auto& [name, value] : members) o->objectSet(name, value);
        return o;
    };
    auto array = [](std::initializer_list<JSONValuePtr> items) {
        JSONValuePtr a = JSONValue::newArray();
        for (const auto& item : items) a->arrayAppend(item);
        return a;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        JSONValuePtr value;
        std::string text;
    } cases[] = {
        {JSONValue::newNull(), "null"},
        {JSONValue::newBoolean(true), "true"},
        {JSONValue::newBoolean(false), "false"},
        // Integers beyond +-2147483647 travel as strings.
        {JSONValue::newInteger(0), "0"},
        {JSONValue::newInteger(-7), "-7"},
        {JSONValue::newInteger(2147483647), "2147483647"},
        {JSONValue::newInteger(-2147483647), "-2147483647"},
        {JSONValue::newInteger(2147483648LL), "\"2147483648\""},
        {JSONValue::newInteger(-2147483648LL), "\"-2147483648\""},
        {JSONValue::newInteger(3000000000LL), "\"3000000000\""},
        {JSONValue::newInteger(std::numeric_limits<int64_t>::max()), "\"9223372036854775807\""},
        {JSONValue::newInteger(std::numeric_limits<int64_t>::min()), "\"-9223372036854775808\""},
        // Reals: seven decimals, rounded half up on the magnitude.
        {JSONValue::newReal(1.5), "1.5000000"},
        {JSONValue::newReal(0.25), "0.2500000"},
        {JSONValue::newReal(0), "0.0000000"},
        {JSONValue::newReal(-2), "-2.0000000"},
        {JSONValue::newReal(-0.25), "-0.2500000"},
        {JSONValue::newReal(1e-7), "0.0000001"},
        {JSONValue::newReal(-1e-7), "-0.0000001"},
        {JSONValue::newReal(0.00000004), "0.0000000"},
        {JSONValue::newReal(0.00000006), "0.0000001"},
        {JSONValue::newReal(1.99999996), "2.0000000"},
        {JSONValue::newReal(-1.99999994), "-1.9999999"},
        {JSONValue::newReal(123.456789012), "123.4567890"},
        {JSONValue::newReal(12345678.9), "12345678.9000000"},
        // Scaled to an odd whole number past 2^52, where adding 0.5 in floating point
        // would round up to the next even one.
        {JSONValue::newReal(450359962.7370497), "450359962.7370497"},
        // Nothing rounds to a negative zero.
        {JSONValue::newReal(-0.0), "0.0000000"},
        {JSONValue::newReal(-0.00000004), "0.0000000"},
        // Beyond the 64-bit range of the scaled value: saturated; NaN as zero.
        {JSONValue::newReal(1e11), "100000000000.0000000"},
        {JSONValue::newReal(1e300), "922337203685.4775807"},
        {JSONValue::newReal(-inf), "-922337203685.4775807"},
        {JSONValue::newReal(std::numeric_limits<double>::quiet_NaN()), "0.0000000"},
        // Strings: short escapes only; other bytes as they are.
        {JSONValue::newString("\"\\/\b\t\n\f\r"), "\"\\\"\\\\\\/\\b\\t\\n\\f\\r\""},
        {JSONValue::newString("line\nbreak"), "\"line\\nbreak\""},
        {JSONValue::newString("\x01\x0B\x1F\x7F\xC3\xA9\xFF"), "\"\x01\x0B\x1F\x7F\xC3\xA9\xFF\""},
        {JSONValue::newString("a\0b", 3), "\"a\""},
        {JSONValue::newString("a\0b"s), "\"a\""},
        {JSONValue::newString(""), "\"\""},
        {JSONValue::newString(nullptr), "\"\""},
        // Containers; members in ascending unsigned byte order of their names.
        {JSONValue::newArray(), "[]"},
        {JSONValue::newObject(), "{}"},
        {object({{"b", JSONValue::newInteger(1)}, {"a", array({JSONValue::newBoolean(true), JSONValue::newNull()})}}),
         "{\"a\":[true,null],\"b\":1}"},
        {object({{"\xC3\xA9", JSONValue::newInteger(5)},
                 {"ab", JSONValue::newInteger(4)},
                 {"a", JSONValue::newInteger(3)},
                 {"B", JSONValue::newInteger(2)},
                 {"", JSONValue::newInteger(1)}}),
         "{\"\":1,\"B\":2,\"a\":3,\"ab\":4,\"\xC3\xA9\":5}"},
        {object({{"a/\"", JSONValue::newInteger(1)}}), "{\"a\\/\\\"\":1}"},
        {array({array({}), object({}), JSONValue::newReal(0.5)}), "[[],{},0.5000000]"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, written(*c.value)) << c.text;
}

TEST(JSONWrite, AppendsAndReplacesMembers) {
    JSONValuePtr object = JSONValue::newObject();
    object->objectSet("a", JSONValue::newInteger(1));
    object->objectSet("a", JSONValue::newString("two"));
    std::string out = "text:";
    JSONWrite(*object, out);
    EXPECT_EQ("text:{\"a\":\"two\"}", out);
}

TEST(JSONWrite, WrittenRealsReadBackToTheSameText) {
    for (double x : {0.1, -0.1, 1.0 / 3, -2.0 / 3, 1e-8, 5e-8, 42.00000005, 1234567.8901234, -98765.4321, 1e8 + 0.1}) {
        JSONValuePtr object = JSONValue::newObject();
        object->objectSet("x", JSONValue::newReal(x));
        const std::string first = written(*object);
        EXPECT_EQ(first, written(*parse(first))) << x;
    }
}

TEST(JSONValue, WrongAccessesThrowTheirMessages) {
    const std::string wrongType = "Wrong value type.";
    const std::string outOfBounds = "Array index out of bounds.";
    const std::string notFound = "Object key not found.";
    JSONValuePtr array = JSONValue::newArray();
    array->arrayAppend(JSONValue::newInteger(1));
    JSONValuePtr object = JSONValue::newObject();
    object->objectSet("n", JSONValue::newInteger(1));
    object->objectSet("s", JSONValue::newString("x"));
    JSONValuePtr real = JSONValue::newReal(1);
    JSONValuePtr integer = JSONValue::newInteger(1);
    const struct {
        const char* what;
        std::function<void()> access;
        const std::string& message;
    } cases[] = {
        {"integer of a real", [&] { real->getInteger(); }, wrongType},
        {"real of an integer", [&] { integer->getReal(); }, wrongType},
        {"boolean of null", [] { JSONValue::newNull()->getBoolean(); }, wrongType},
        {"string of an integer", [&] { integer->getString(); }, wrongType},
        {"integer of a string", [] { JSONValue::newString("1")->getInteger(); }, wrongType},
        {"size of an object", [&] { object->arraySize(); }, wrongType},
        {"item of an object", [&] { object->arrayItem(0); }, wrongType},
        {"append to an object", [&] { object->arrayAppend(JSONValue::newNull()); }, wrongType},
        {"item past the end", [&] { array->arrayItem(1); }, outOfBounds},
        {"item of an empty array", [] { JSONValue::newArray()->arrayItem(0); }, outOfBounds},
        {"member of an array", [&] { array->objectMember("n", true); }, wrongType},
        {"set in an array", [&] { array->objectSet("n", JSONValue::newNull()); }, wrongType},
        {"remove from an array", [&] { array->objectRemove("n"); }, wrongType},
        {"walk an array", [&] { array->objectMembers(); }, wrongType},
        {"string check in an array", [&] { array->checkStringMember("s", true); }, wrongType},
        {"required member absent", [&] { object->objectMember("x"); }, notFound},
        {"required string absent", [&] { object->checkStringMember("x", false); }, notFound},
        {"string check of an integer", [&] { object->checkStringMember("n", true); }, wrongType},
        {"required string of an integer", [&] { object->checkStringMember("n", false); }, wrongType},
    };
    for (const auto& c : cases) EXPECT_EQ(c.message, valueError(c.access)) << c.what;

    // What passes.
    EXPECT_EQ(nullptr, object->objectMember("x", true));
    EXPECT_NO_THROW(object->checkStringMember("x", true));
    EXPECT_NO_THROW(object->checkStringMember("s", false));
    EXPECT_EQ(1, array->arrayItem(0)->getInteger());
    // Both exception classes are std::exceptions, and neither is the other.
    EXPECT_THROW(real->getInteger(), std::exception);
    EXPECT_THROW(JSONParse("[]", 2), std::exception);
    EXPECT_THROW(
        try { real->getInteger(); } catch (const JSONParserException&) {}, JSONValueException);
    EXPECT_THROW(
        try { JSONParse("[]", 2); } catch (const JSONValueException&) {}, JSONParserException);
}

TEST(JSONValue, NullReferencesAreNotStored) {
    JSONValuePtr array = JSONValue::newArray();
    JSONValuePtr object = JSONValue::newObject();
    EXPECT_THROW(array->arrayAppend(nullptr), exception_invalid_params);
    EXPECT_THROW(object->objectSet("a", nullptr), exception_invalid_params);
    EXPECT_EQ("[]", written(*array));
    EXPECT_EQ("{}", written(*object));
}

TEST(JSONValuePtr, SharesTheValueUntilTheLastReferenceGoes) {
    // Run under AddressSanitizer: an early release shows as a use after free, a lost
    // one as a leak at exit.
    JSONValuePtr held = JSONValue::newString("shared");
    {
        JSONValuePtr copy = held;
        JSONValuePtr moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(held, moved);
        JSONValuePtr& alias = moved;
        moved = alias;  // self-assignment keeps the value
        moved = held;
        copy = moved;
    }
    EXPECT_EQ("shared", held->getString());
    // A value held only inside a container lives as long as the container.
    JSONValuePtr array = JSONValue::newArray();
    array->arrayAppend(JSONValue::newString("inside"));
    EXPECT_EQ("inside", array->arrayItem(0)->getString());
    held.reset();
    EXPECT_FALSE(held);
}

TEST(JSONValuePtr, CountsAreInterlockedAcrossThreads) {
    // Two threads add and release references to the same values as fast as they can;
    // a count that lost an update frees a value early (AddressSanitizer) or never
    // (LeakSanitizer at exit).
    JSONValuePtr document = parse("{\"updates\":[{\"name\":\"a\"},{\"name\":\"b\"}]}");
    JSONValuePtr entry = document->objectMember("updates")->arrayItem(0);
    auto churn = [&] {
        for (int i = 0; i < 200000; ++i) {
            JSONValuePtr copy = entry;
            JSONValuePtr another = copy;
            copy = document;
        }
    };
    std::thread first(churn);
    std::thread second(churn);
    first.join();
    second.join();
    document.reset();
    EXPECT_EQ("a", entry->objectMember("name")->getString());
}
