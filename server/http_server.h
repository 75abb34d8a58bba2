// The update server's HTTP side: POST /au with a multipart/form-data body whose field
// "d" holds the compressed request. Everything else is refused early: another path
// 404, another method 405, a chunked body 411, a content encoding 415, a body that is
// not multipart, lacks "d" or holds it twice 400, a body over the limit 413. Bounded
// worker threads, socket timeouts and one access log line per request (access_log.h).
#pragma once

#include <memory>
#include <string>

#include "answer_signer.h"
#include "catalogue.h"
#include "update_exchange.h"

namespace httplib {
class Server;
}

class update_http_server {
public:
    update_http_server(std::shared_ptr<const catalogue_index> catalogue, const answer_signer& signer,
                       exchange_settings settings);
    ~update_http_server();
    update_http_server(const update_http_server&) = delete;
    update_http_server& operator=(const update_http_server&) = delete;

    // Binds the listening socket; port 0 picks a free port. Answers the port, or -1.
    int bind(const std::string& address, int port);
    // Serves until stop(); answers false when serving could not start.
    bool run();
    // Stops accepting, lets the requests in progress finish, and makes run() return.
    // Safe from any thread.
    void stop();
    bool is_running() const;

    // Answers later requests from `catalogue`; requests in progress keep the old one.
    void replace_catalogue(std::shared_ptr<const catalogue_index> catalogue);

private:
    void install_handlers();
    std::shared_ptr<const catalogue_index> catalogue() const;

    std::unique_ptr<httplib::Server> m_http;
    std::shared_ptr<const catalogue_index> m_catalogue;  // read and replaced with the atomic shared_ptr functions
    const answer_signer& m_signer;
    const exchange_settings m_settings;
};

// The path of the update endpoint.
constexpr const char* update_path = "/au";
