// update-server as an operator runs it: its commands, its log, its signals, and a
// compressed bomb posted to the running program.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <sstream>

#include "server/catalogue_json.h"
#include "server/file_io.h"
#include "server/public_key_blob.h"
#include "server/rsa_keys.h"
#include "support/answer_check.h"
#include "support/client_request.h"
#include "support/deflated_zeros.h"
#include "support/sample_catalogue.h"
#include "support/server_process.h"
#include "upkeep/checking/json_parser.h"

namespace {

const std::string sample_json = catalogue_to_json(sample_catalogue());

httplib::Result post(const server_process& server, const std::string& body) {
    httplib::Client client("127.0.0.1", server.port());
    client.set_read_timeout(30, 0);
    return client.Post("/au", body, client_content_type().c_str());
}

std::string porter_check_body() {
    return client_multipart_body(client_field(
        client_request_text(*client_request_document({{"vel_porter.dll", "Send to Device", "1.1.2"}}, "77", 1))));
}

TEST(ServerProcess, CompressedBombIsRefusedWithoutLargeMemory) {
    server_process server(sample_json);
    // 200 MiB of zeros in about 200 KiB: within the body limit, far over the inflation limit.
    std::string bomb = client_multipart_body(deflated_zeros(size_t(200) << 20));
    ASSERT_LT(bomb.size(), size_t(256) * 1024);
    ASSERT_EQ(200, post(server, porter_check_body())->status);  // warm up: workers and buffers exist
    long before = server.peak_memory_kib();
    ASSERT_GT(before, 0);
    httplib::Result result = post(server, bomb);
    ASSERT_TRUE(result);
    EXPECT_EQ(413, result->status) << result->body;
    EXPECT_LT(server.peak_memory_kib() - before, 32 * 1024) << "peak memory grew by more than 32 MiB";
    EXPECT_EQ(200, post(server, porter_check_body())->status);
}

TEST(ServerProcess, LogIsOneJsonObjectPerLine) {
    server_process server(sample_json);
    ASSERT_EQ(200, post(server, porter_check_body())->status);
    httplib::Client client("127.0.0.1", server.port());
    ASSERT_TRUE(client.Get("/%0a%22%01\xff"));  // a path that would break a naive log line
    ASSERT_EQ(0, server.signal_and_wait(SIGTERM));

    std::istringstream lines(server.log());
    std::string line;
    size_t requests = 0;
    while (std::getline(lines, line)) {
        JSONValuePtr record = JSONParse(line.data(), line.size());  // throws for anything but one object
        ASSERT_TRUE(record->objectMember("time", true)) << line;
        if (!record->objectMember("status", true)) {
            EXPECT_TRUE(record->objectMember("event", true)) << line;
            continue;
        }
        ++requests;
        for (const char* name : {"peer", "method", "path", "components", "duration_ms"})
            EXPECT_TRUE(record->objectMember(name, true)) << name << " in " << line;
        int64_t status = record->objectMember("status")->getInteger();
        if (status == 200) {
            EXPECT_EQ(1, record->objectMember("components")->getInteger());
        } else {
            EXPECT_EQ(404, status);
            EXPECT_EQ("no such path", record->objectMember("reason")->getString());
        }
    }
    EXPECT_EQ(2u, requests);
}

TEST(ServerProcess, StopsGracefullyOnSigtermAndSigint) {
    for (int signal : {SIGTERM, SIGINT}) {
        server_process server(sample_json);
        ASSERT_EQ(200, post(server, porter_check_body())->status);
        EXPECT_EQ(0, server.signal_and_wait(signal)) << signal;
        EXPECT_NE(std::string::npos, server.log().find("\"event\":\"stopped\"")) << server.log();
    }
}

TEST(ServerProcess, SighupReloadsTheCatalogue) {
    server_process server(sample_json);
    auto offered_version = [&] {
        httplib::Result result = post(server, porter_check_body());
        return open_answer(result->body)->objectMember("updates")->arrayItem(0)->objectMember("version")->getString();
    };
    EXPECT_EQ("1.1.3", offered_version());

    std::vector<catalogue_entry> newer = sample_catalogue();
    newer[0].version = "1.2.0";
    replace_file(server.folder().file("newer.json"), catalogue_to_json(newer));
    ASSERT_EQ(0, run_update_server({"catalogue", "import", "--db", server.folder().file("catalogue.db"), "--from",
                                    server.folder().file("newer.json")}));
    EXPECT_EQ("1.1.3", offered_version());  // the running server keeps its catalogue until told
    kill(server.pid(), SIGHUP);
    ASSERT_TRUE(server.wait_for_log("catalogue reloaded"));
    EXPECT_EQ("1.2.0", offered_version());
}

TEST(ServerProcess, CatalogueCommandsRoundTrip) {
    temporary_folder folder;
    write_new_file(folder.file("in.json"), sample_json, 0644);
    ASSERT_EQ(0, run_update_server({"catalogue", "import", "--db", folder.file("c.db"), "--from", folder.file("in.json")}));
    ASSERT_EQ(0, run_update_server({"catalogue", "export", "--db", folder.file("c.db"), "--to", folder.file("out.json")}));
    // Exported in file name order.
    std::vector<catalogue_entry> expected = sample_catalogue();
    std::sort(expected.begin(), expected.end(),
              [](const catalogue_entry& a, const catalogue_entry& b) { return a.file_name < b.file_name; });
    EXPECT_EQ(catalogue_to_json(expected), read_file(folder.file("out.json")));

    // A refused import leaves the catalogue as it was.
    write_new_file(folder.file("bad.json"), "{\"components\":[{\"fileName\":\"x.dll\"}]}", 0644);
    EXPECT_EQ(1, run_update_server({"catalogue", "import", "--db", folder.file("c.db"), "--from", folder.file("bad.json")}));
    ASSERT_EQ(0, run_update_server({"catalogue", "export", "--db", folder.file("c.db"), "--to", folder.file("out2.json")}));
    EXPECT_EQ(read_file(folder.file("out.json")), read_file(folder.file("out2.json")));
}

TEST(ServerProcess, KeygenWritesAMatchingKeyAndNeverOverwrites) {
    temporary_folder folder;
    ASSERT_EQ(0, run_update_server({"keygen", "--out", folder.file(""), "--prefix", "k"}));
    std::string private_pem = read_file(folder.file("k-private.pem"));
    struct stat info {};
    ASSERT_EQ(0, stat(folder.file("k-private.pem").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
    evp_pkey_ptr key = load_private_key_pem(private_pem);
    evp_pkey_ptr public_key = load_public_key_pem(read_file(folder.file("k-public.pem")));
    EXPECT_EQ(1, EVP_PKEY_eq(key.get(), public_key.get()));
    public_key_blob_t blob = public_key_blob(*public_key);
    EXPECT_EQ(std::string(blob.begin(), blob.end()), read_file(folder.file("k-public.blob")));

    EXPECT_EQ(1, run_update_server({"keygen", "--out", folder.file(""), "--prefix", "k"}));
    EXPECT_EQ(private_pem, read_file(folder.file("k-private.pem")));
}

TEST(ServerProcess, CommandLineErrorsAndHelp) {
    temporary_folder folder;
    const std::vector<std::vector<std::string>> wrong = {
        {"serve"},
        {"serve", "--db", "x.db", "--key", "k.pem"},  // no public URL
        {"serve", "--db", "x.db", "--key", "k.pem", "--public-url", "http://x/au", "--test-fault", "nonsense"},
        {"serve", "--port", "70000"},
        {"catalogue"},
        {"catalogue", "import"},
        {"frobnicate"},
    };
    for (const auto& arguments : wrong) EXPECT_EQ(2, run_update_server(arguments)) << arguments[0];
    ASSERT_EQ(0, run_update_server({"--help"}, folder.file("help.txt")));
    std::string help = read_file(folder.file("help.txt"));
    for (const test_fault_info& info : test_fault_list()) EXPECT_NE(std::string::npos, help.find(info.name)) << info.name;
    EXPECT_NE(std::string::npos, help.find("TESTS ONLY"));
}

}  // namespace
