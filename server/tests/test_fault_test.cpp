// Each test fault, served over loopback, breaks the answer exactly as it says and
// leaves the rest of it valid, so that the client's test sees that one fault only.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "support/answer_check.h"
#include "support/client_request.h"
#include "support/loopback_server.h"
#include "support/test_keys.h"

namespace {

const std::string request_key = "133790000000000042";
const std::string expected_echo = request_key + "http://updates.tendwell.test/au";

std::string signature_of(const httplib::Response& r) { return r.get_header_value("X-VLRAAU-Signature"); }

// A signed, well-formed answer, checked as the client checks it; answers the document.
JSONValuePtr verified_answer(const httplib::Response& r) {
    EXPECT_EQ(200, r.status);
    EXPECT_TRUE(signature_verifies(r.body, signature_of(r), dev_public_key()));
    return open_answer(r.body);
}

using fault_check = std::function<void(const httplib::Response&)>;

const std::map<std::string, fault_check>& fault_checks() {
    static const std::map<std::string, fault_check> checks = {
        {"altered-body",
         [](const httplib::Response& r) {
             EXPECT_EQ(200, r.status);
             EXPECT_EQ(88u, signature_of(r).size());
             EXPECT_FALSE(signature_verifies(r.body, signature_of(r), dev_public_key()));
             // Exactly one byte differs from what was signed.
             size_t restoring_positions = 0;
             for (size_t i = 0; i < r.body.size(); ++i) {
                 std::string candidate = r.body;
                 candidate[i] ^= 0x01;
                 if (signature_verifies(candidate, signature_of(r), dev_public_key())) ++restoring_positions;
             }
             EXPECT_EQ(1u, restoring_positions);
         }},
        {"no-signature",
         [](const httplib::Response& r) {
             EXPECT_EQ(200, r.status);
             EXPECT_FALSE(r.has_header("X-VLRAAU-Signature"));
             EXPECT_EQ(expected_echo, open_answer(r.body)->objectMember("key")->getString());
         }},
        {"short-signature",
         [](const httplib::Response& r) {
             EXPECT_EQ(200, r.status);
             EXPECT_EQ(3u, signature_of(r).size());
             EXPECT_EQ(expected_echo, open_answer(r.body)->objectMember("key")->getString());
         }},
        {"key-without-url",
         [](const httplib::Response& r) {
             EXPECT_EQ(request_key, verified_answer(r)->objectMember("key")->getString());
         }},
        {"version-0.9",
         [](const httplib::Response& r) {
             JSONValuePtr answer = verified_answer(r);
             EXPECT_EQ("0.9", answer->objectMember("version")->getString());
             EXPECT_EQ(expected_echo, answer->objectMember("key")->getString());
         }},
        {"version-2.0",
         [](const httplib::Response& r) {
             JSONValuePtr answer = verified_answer(r);
             EXPECT_EQ("2.0", answer->objectMember("version")->getString());
             EXPECT_EQ(expected_echo, answer->objectMember("key")->getString());
         }},
        {"entry-state-4",
         [](const httplib::Response& r) {
             JSONValuePtr answer = verified_answer(r);
             JSONValuePtr updates = answer->objectMember("updates");
             ASSERT_EQ(2u, updates->arraySize());
             EXPECT_EQ(2, updates->arrayItem(0)->objectMember("state")->getInteger());
             JSONValuePtr odd = updates->arrayItem(1);
             EXPECT_EQ(4, odd->objectMember("state")->getInteger());
             // Otherwise a complete entry: only the state is wrong.
             for (const char* name : {"fileName", "name", "curVersion", "version"})
                 EXPECT_EQ(JSONValue::String, odd->objectMember(name)->kind()) << name;
         }},
        {"http-500",
         [](const httplib::Response& r) {
             EXPECT_EQ(500, r.status);
             EXPECT_FALSE(r.has_header("X-VLRAAU-Signature"));
         }},
        {"inflate-padding",
         [](const httplib::Response& r) {
             JSONValuePtr answer = verified_answer(r);
             EXPECT_GT(inflate_answer(r.body).size(), 10 * r.body.size());
             EXPECT_EQ(expected_echo, answer->objectMember("key")->getString());
             EXPECT_EQ(1u, answer->objectMember("updates")->arraySize());
         }},
    };
    return checks;
}

TEST(TestFaults, EachFaultDoesWhatItSays) {
    std::string body = client_multipart_body(client_field(client_request_text(
        *client_request_document({{"vel_porter.dll", "Send to Device", "1.1.2"}}, request_key, 2))));
    for (const test_fault_info& info : test_fault_list()) {
        SCOPED_TRACE(info.name);
        auto check = fault_checks().find(info.name);
        ASSERT_NE(fault_checks().end(), check) << "no check for this fault";
        loopback_server server(test_settings(info.fault));
        httplib::Result result = server.post_body(body);
        ASSERT_TRUE(result);
        check->second(*result);
    }
}

TEST(TestFaults, FaultsLeaveMalformedRequestsRefused) {
    loopback_server server(test_settings(test_fault::http_500));
    httplib::Result result = server.post_body(client_multipart_body("not deflate"));
    ASSERT_TRUE(result);
    EXPECT_EQ(400, result->status);
}

TEST(TestFaults, WithoutAFaultTheSameRequestVerifies) {
    loopback_server server;
    httplib::Result result = server.post_body(client_multipart_body(client_field(client_request_text(
        *client_request_document({{"vel_porter.dll", "Send to Device", "1.1.2"}}, request_key, 2)))));
    ASSERT_TRUE(result);
    EXPECT_EQ(expected_echo, verified_answer(*result)->objectMember("key")->getString());
}

}  // namespace
