// One update check through answer_update_field: what the server refuses, and what it
// answers for each kind of component.
#include <gtest/gtest.h>

#include "server/server_limits.h"
#include "server/update_exchange.h"
#include "support/answer_check.h"
#include "support/client_request.h"
#include "support/sample_catalogue.h"
#include "support/test_keys.h"

namespace {

const catalogue_index& sample_index() {
    static const catalogue_index index(sample_catalogue());
    return index;
}

exchange_result exchange(const std::string& field) {
    return answer_update_field(field, sample_index(), dev_signer(), test_settings());
}

exchange_result exchange_text(const std::string& request_text) { return exchange(client_field(request_text)); }

std::string valid_request_text() {
    return client_request_text(*client_request_document({{"a.dll", "A", "1"}}, "133790000000000000", 1));
}

TEST(UpdateExchange, MalformedRequestsAreRefusedWithTheirStatus) {
    const std::string long_text(server_limits::max_component_text_bytes + 1, 'x');
    std::string many_components = "{\"c\":[";
    for (size_t i = 0; i <= server_limits::max_components; ++i) many_components += i ? ",[\"a\",\"b\",\"c\"]" : "[\"a\",\"b\",\"c\"]";
    many_components += "],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}";
    std::string deep = "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"1.1\",\"s\":" + std::string(130, '[') +
                       std::string(130, ']') + "}";

    const struct {
        const char* what;
        std::string text;
        int status;
    } cases[] = {
        {"not JSON", "hello", 400},
        {"root is an array", "[]", 400},
        {"trailing comma", "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"1.1\",}", 400},
        {"duplicate member", "{\"c\":[],\"key\":\"1\",\"key\":\"2\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"nesting beyond the parser's limit", deep, 400},
        {"no v", "{\"c\":[],\"key\":\"1\",\"t\":1}", 400},
        {"v not a string", "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":1.1}", 400},
        {"v of major version 2", "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"2.0\"}", 400},
        {"v without minor", "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"1.\"}", 400},
        {"v with a suffix", "{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"1.1a\"}", 400},
        {"no c", "{\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"c an object", "{\"c\":{},\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"component of two strings", "{\"c\":[[\"a\",\"b\"]],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"component of four strings", "{\"c\":[[\"a\",\"b\",\"c\",\"d\"]],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"component with a number", "{\"c\":[[\"a\",\"b\",1]],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"component a string", "{\"c\":[\"a\"],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"no t", "{\"c\":[],\"key\":\"1\",\"v\":\"1.1\"}", 400},
        {"t 3", "{\"c\":[],\"key\":\"1\",\"t\":3,\"v\":\"1.1\"}", 400},
        {"t a string", "{\"c\":[],\"key\":\"1\",\"t\":\"1\",\"v\":\"1.1\"}", 400},
        {"t a real", "{\"c\":[],\"key\":\"1\",\"t\":1.0,\"v\":\"1.1\"}", 400},
        {"no key", "{\"c\":[],\"t\":1,\"v\":\"1.1\"}", 400},
        {"key a number", "{\"c\":[],\"key\":1,\"t\":1,\"v\":\"1.1\"}", 400},
        {"key empty", "{\"c\":[],\"key\":\"\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"key with a letter", "{\"c\":[],\"key\":\"12a\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"key of 21 digits", "{\"c\":[],\"key\":\"123456789012345678901\",\"t\":1,\"v\":\"1.1\"}", 400},
        {"s an array", "{\"c\":[],\"key\":\"1\",\"s\":[],\"t\":1,\"v\":\"1.1\"}", 400},
        {"too many components", many_components, 413},
        {"file name too long", "{\"c\":[[\"" + long_text + "\",\"b\",\"c\"]],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 413},
        {"version too long", "{\"c\":[[\"a\",\"b\",\"" + long_text + "\"]],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 413},
        {"text beyond the inflation limit", std::string(server_limits::max_inflated_bytes + 1, ' '), 413},
    };
    for (const auto& c : cases) {
        exchange_result result = exchange_text(c.text);
        EXPECT_EQ(c.status, result.status) << c.what << ": " << result.reason;
        EXPECT_FALSE(result.reason.empty()) << c.what;
        EXPECT_FALSE(result.signature) << c.what;
    }
}

TEST(UpdateExchange, FieldsThatAreNotOneDeflateStreamAreRefused) {
    std::string field = client_field(valid_request_text());
    const struct {
        const char* what;
        std::string field;
    } cases[] = {
        {"empty", ""},
        {"uncompressed JSON", valid_request_text()},
        {"truncated", field.substr(0, field.size() / 2)},
        {"trailing bytes", field + std::string(1, '\0')},
    };
    for (const auto& c : cases) EXPECT_EQ(400, exchange(c.field).status) << c.what;
    EXPECT_EQ(200, exchange(field).status);
}

TEST(UpdateExchange, AcceptsEverythingTheClientCanWrite) {
    // Statistics, an empty version, a control byte the writer leaves raw, non-ASCII
    // text, a later 1.x protocol with a member this server does not know.
    JSONValuePtr statistics = JSONValue::newObject();
    statistics->objectSet("cpu", JSONValue::newString("x86"));
    statistics->objectSet("ram", JSONValue::newReal(15.5));
    std::string odd_name = std::string("Odd\x01") + "\x1f name \xc3\xa9\x7f";
    JSONValuePtr document = client_request_document(
        {{"odd.dll", odd_name, ""}, {"VEL_PORTER.DLL", "Send to Device", "1.1.2 [Nov 28 2007 - 10:13:31]"}},
        "18446744073709551615", 2, statistics);
    document->objectSet("v", JSONValue::newString("1.25"));
    document->objectSet("future", JSONValue::newArray());
    std::string text = client_request_text(*document);
    ASSERT_NE(std::string::npos, text.find('\x01')) << "the writer must leave the byte raw for this test";

    exchange_result result = exchange_text(text);
    ASSERT_EQ(200, result.status) << result.reason;
    EXPECT_EQ(2u, result.components);
    // The client's strict parser must read the answer, with the name byte for byte.
    JSONValuePtr answer = open_answer(result.body);
    JSONValuePtr odd = answer->objectMember("updates")->arrayItem(0);
    EXPECT_EQ(odd_name, odd->objectMember("name")->getString());
    EXPECT_EQ("", odd->objectMember("curVersion")->getString());
    EXPECT_EQ(2, answer->objectMember("updates")->arrayItem(1)->objectMember("state")->getInteger());
}

TEST(UpdateExchange, LimitsThemselvesAreAccepted) {
    const std::string longest(server_limits::max_component_text_bytes, 'v');
    std::vector<client_component> components = numbered_components(server_limits::max_components - 1);
    components.push_back({longest, longest, longest});
    exchange_result result =
        exchange_text(client_request_text(*client_request_document(components, "12345678901234567890", 1)));
    EXPECT_EQ(200, result.status) << result.reason;
    EXPECT_EQ(server_limits::max_components, result.components);
}

TEST(UpdateExchange, AnswerIsSignedCompressedAndEchoesTheKeyWithTheUrl) {
    exchange_result result = exchange_text(valid_request_text());
    ASSERT_EQ(200, result.status);
    EXPECT_EQ("application/octet-stream", result.content_type);
    ASSERT_TRUE(result.signature);
    EXPECT_EQ(88u, result.signature->size());  // 64 bytes in Base64, no line break
    EXPECT_TRUE(signature_verifies(result.body, *result.signature, dev_public_key()));
    JSONValuePtr answer = open_answer(result.body);
    EXPECT_EQ(std::string("133790000000000000") + test_public_url, answer->objectMember("key")->getString());
    EXPECT_EQ("1.1", answer->objectMember("version")->getString());
    EXPECT_FALSE(answer->objectMember("message", true));
}

TEST(UpdateExchange, OperatorMessageIsSent) {
    exchange_settings settings = test_settings();
    settings.answer.message = "Maintenance on Sunday";
    exchange_result result =
        answer_update_field(client_field(valid_request_text()), sample_index(), dev_signer(), settings);
    ASSERT_EQ(200, result.status);
    EXPECT_EQ("Maintenance on Sunday", open_answer(result.body)->objectMember("message")->getString());
}

}  // namespace
