// The protocol over loopback HTTP, as the client meets it: a request built and posted
// exactly as the client and its host do, and an answer checked as the client checks it.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <set>

#include "server/server_limits.h"
#include "support/answer_check.h"
#include "support/client_request.h"
#include "support/loopback_server.h"
#include "support/test_keys.h"

namespace {

std::set<std::string> member_names(const JSONValue& object) {
    std::set<std::string> names;
    for (const auto& member : object.objectMembers()) names.insert(member.first);
    return names;
}

std::string string_member(const JSONValue& object, const char* name) {
    JSONValuePtr value = object.objectMember(name, true);
    return value ? value->getString() : "<absent>";
}

TEST(Loopback, UpdateCheckRoundTrip) {
    loopback_server server;
    const struct {
        client_component component;
        int64_t state;
        const char* name;     // expected "name"
        const char* version;  // expected "version", or "<absent>"
        std::set<std::string> members;
    } expected[] = {
        {{"vel_porter.dll", "Send to Device", "1.1.2 [Nov 28 2007 - 10:13:31]"}, 2, "Send to Device", "1.1.3",
         {"state", "fileName", "name", "curVersion", "version", "versionDate", "author", "details", "link"}},
        // Windows file names: letter case does not count; the entry echoes the client's spelling.
        {{"VEL_UPKEEP.DLL", "Tendwell", "1"}, 1, "Tendwell", "1",
         {"state", "fileName", "name", "curVersion", "version", "link"}},
        {{"vel_upkeep.dll", "Tendwell", "1.1"}, 1, "Tendwell", "1",  // newer than the catalogue
         {"state", "fileName", "name", "curVersion", "version", "link"}},
        {{"vlhost.exe", "Vellora", "1.0.0"}, 3, "Vellora", "<absent>",
         {"state", "fileName", "name", "curVersion", "ignoreReason"}},
        // The catalogue has no name for it: the client's name stays.
        {{"shared.dll", "Shared helper library", "0.9"}, 2, "Shared helper library", "1.0.0",
         {"state", "fileName", "name", "curVersion", "version"}},
        {{"mystery.dll", "Mystery", "3"}, 0, "Mystery", "<absent>", {"state", "fileName", "name", "curVersion"}},
        {{"vel_porter.dl", "Not quite", "1"}, 0, "Not quite", "<absent>", {"state", "fileName", "name", "curVersion"}},
    };
    std::vector<client_component> components;
    for (const auto& e : expected) components.push_back(e.component);
    const std::string key = "133790123456789012";
    std::string body = client_multipart_body(client_field(client_request_text(*client_request_document(components, key, 2))));

    httplib::Client client = server.client();
    httplib::Headers headers = {{"Accept-Encoding", "gzip, deflate, br"}};
    httplib::Result result = client.Post("/au", headers, body, client_content_type().c_str());
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    ASSERT_EQ(200, result->status) << result->body;

    // The signature covers the body exactly as it arrives: no transfer coding may touch it.
    EXPECT_FALSE(result->has_header("Content-Encoding"));
    EXPECT_EQ(std::to_string(result->body.size()), result->get_header_value("Content-Length"));
    std::string signature = result->get_header_value("X-VLRAAU-Signature");
    EXPECT_EQ(88u, signature.size());
    EXPECT_TRUE(signature_verifies(result->body, signature, dev_public_key()));

    JSONValuePtr answer = open_answer(result->body);
    EXPECT_EQ((std::set<std::string>{"key", "updates", "version"}), member_names(*answer));
    EXPECT_EQ(key + "http://updates.tendwell.test/au", answer->objectMember("key")->getString());
    EXPECT_EQ("1.1", answer->objectMember("version")->getString());
    JSONValuePtr updates = answer->objectMember("updates");
    ASSERT_EQ(std::size(expected), updates->arraySize());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& e = expected[i];
        JSONValuePtr entry = updates->arrayItem(i);
        SCOPED_TRACE(e.component.file_name + " " + e.component.version);
        EXPECT_EQ(e.state, entry->objectMember("state")->getInteger());
        EXPECT_EQ(e.component.file_name, string_member(*entry, "fileName"));
        EXPECT_EQ(e.component.version, string_member(*entry, "curVersion"));
        EXPECT_EQ(e.name, string_member(*entry, "name"));
        EXPECT_EQ(e.version, string_member(*entry, "version"));
        EXPECT_EQ(e.members, member_names(*entry));
    }
    JSONValuePtr porter = updates->arrayItem(0);
    EXPECT_EQ("2008-01-10", string_member(*porter, "versionDate"));
    EXPECT_EQ("Tendwell team", string_member(*porter, "author"));
    EXPECT_EQ("<p>Copies <b>faster</b>.</p>", string_member(*porter, "details"));
    EXPECT_EQ("http://updates.tendwell.test/get/vel_porter-1.1.3.zip", string_member(*porter, "link"));
    EXPECT_EQ("Updated with the player", string_member(*updates->arrayItem(3), "ignoreReason"));
}

TEST(Loopback, MalformedRequestsGetTheir4xx) {
    loopback_server server;
    const std::string valid_field =
        client_field(client_request_text(*client_request_document({{"a.dll", "A", "1"}}, "1", 1)));
    const std::string multipart = client_content_type();
    auto post = [&](const std::string& path, const std::string& body, const std::string& type,
                    httplib::Headers headers = {}) { return server.client().Post(path.c_str(), headers, body, type.c_str()); };
    const struct {
        const char* what;
        std::function<httplib::Result()> send;
        int status;
    } cases[] = {
        {"wrong path", [&] { return post("/update", client_multipart_body(valid_field), multipart); }, 404},
        {"root path", [&] { return server.client().Get("/"); }, 404},
        {"GET", [&] { return server.client().Get("/au"); }, 405},
        {"HEAD", [&] { return server.client().Head("/au"); }, 405},
        {"PUT", [&] { return server.client().Put("/au", client_multipart_body(valid_field), multipart.c_str()); }, 405},
        {"DELETE", [&] { return server.client().Delete("/au"); }, 405},
        {"not multipart", [&] { return post("/au", valid_field, "application/octet-stream"); }, 400},
        {"form-urlencoded", [&] { return post("/au", "d=abc", "application/x-www-form-urlencoded"); }, 400},
        {"no field d", [&] { return post("/au", multipart_body_of({{"e", valid_field}}), multipart); }, 400},
        {"field d twice", [&] { return post("/au", multipart_body_of({{"d", valid_field}, {"d", valid_field}}), multipart); }, 400},
        {"broken multipart", [&] { return post("/au", "--nonsense\r\n\r\n", multipart); }, 400},
        {"bad deflate", [&] { return post("/au", client_multipart_body("not deflate at all"), multipart); }, 400},
        {"bad JSON", [&] { return post("/au", client_multipart_body(client_field("{\"c\":")), multipart); }, 400},
        {"bad schema", [&] { return post("/au", client_multipart_body(client_field("{\"c\":[],\"t\":1,\"v\":\"1.1\"}")), multipart); }, 400},
        {"body over the limit", [&] {
             return post("/au", client_multipart_body(std::string(server_limits::max_request_body_bytes, 'x')), multipart);
         }, 413},
        {"compressed transfer", [&] {
             return post("/au", client_multipart_body(valid_field), multipart, {{"Content-Encoding", "gzip"}});
         }, 415},
    };
    for (const auto& c : cases) {
        httplib::Result result = c.send();
        ASSERT_TRUE(result) << c.what << ": " << httplib::to_string(result.error());
        EXPECT_EQ(c.status, result->status) << c.what << ": " << result->body;
        EXPECT_FALSE(result->has_header("X-VLRAAU-Signature")) << c.what;
    }
    // The server is still well after all of them.
    httplib::Result result = server.post_body(client_multipart_body(valid_field));
    ASSERT_TRUE(result);
    EXPECT_EQ(200, result->status);
}

// A client on a plain socket, to send requests byte for byte.
class raw_connection {
public:
    explicit raw_connection(int port) : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~raw_connection() { close(m_fd); }

    // Sends `request` and answers the status of the one reply it reads (-1: none).
    int exchange(const std::string& request) {
        if (!m_connected || send(m_fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) return -1;
        std::string reply;
        char buffer[4096];
        size_t header_end;
        while ((header_end = reply.find("\r\n\r\n")) == std::string::npos)
            if (!receive(reply, buffer, sizeof buffer)) return -1;
        size_t length_at = reply.find("Content-Length: ");
        size_t length = length_at < header_end ? std::stoul(reply.substr(length_at + 16)) : 0;
        while (reply.size() < header_end + 4 + length)
            if (!receive(reply, buffer, sizeof buffer)) return -1;
        return reply.compare(0, 9, "HTTP/1.1 ") == 0 ? std::stoi(reply.substr(9, 3)) : -1;
    }

private:
    bool receive(std::string& reply, char* buffer, size_t size) {
        ssize_t n = recv(m_fd, buffer, size, 0);
        if (n <= 0) return false;
        reply.append(buffer, static_cast<size_t>(n));
        return true;
    }

    int m_fd;
    bool m_connected = false;
};

std::string raw_post(const std::string& path, const std::string& body, const std::string& extra_headers = "") {
    return "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Type: " + client_content_type() +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extra_headers + "\r\n" + body;
}

TEST(Loopback, BodiesTheHttpLayerCannotBoundAreRefusedBeforeReading) {
    // Requests the client never sends, refused from their headers alone.
    loopback_server server;
    std::string body = client_multipart_body("x");
    char chunk_size[16];
    std::snprintf(chunk_size, sizeof chunk_size, "%zx", body.size());
    std::string chunked = "POST /au HTTP/1.1\r\nHost: x\r\nContent-Type: " + client_content_type() +
                          "\r\nTransfer-Encoding: chunked\r\n\r\n" + chunk_size + "\r\n" + body + "\r\n0\r\n\r\n";
    EXPECT_EQ(411, raw_connection(server.port()).exchange(chunked));
    EXPECT_EQ(415, raw_connection(server.port()).exchange(raw_post("/au", body, "Content-Encoding: gzip\r\n")));
    EXPECT_EQ(400, raw_connection(server.port()).exchange("NONSENSE\r\n\r\n"));
}

TEST(Loopback, ConnectionOutlivesARefusal) {
    // A refused request's body is read: the same connection serves the next request.
    loopback_server server;
    std::string valid = client_multipart_body(client_field(client_request_text(*client_request_document({}, "5", 1))));
    raw_connection connection(server.port());
    // Each refusal has another status, so a reply out of step shows.
    std::string put = raw_post("/au", valid);
    put.replace(0, 4, "PUT");
    EXPECT_EQ(404, connection.exchange(raw_post("/update", valid)));
    EXPECT_EQ(405, connection.exchange(put));
    EXPECT_EQ(400, connection.exchange(raw_post("/au", client_multipart_body("not deflate"))));
    EXPECT_EQ(200, connection.exchange(raw_post("/au", valid)));
}

TEST(Loopback, MethodNotAllowedNamesPost) {
    loopback_server server;
    httplib::Result result = server.client().Get("/au");
    ASSERT_TRUE(result);
    EXPECT_EQ("POST", result->get_header_value("Allow"));
}

}  // namespace
