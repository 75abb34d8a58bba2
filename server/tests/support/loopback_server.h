// The update server running in this process on a free loopback port.
#pragma once

#include <httplib.h>

#include <memory>
#include <thread>

#include "sample_catalogue.h"
#include "server/http_server.h"

class loopback_server {
public:
    explicit loopback_server(exchange_settings settings = test_settings(),
                             std::vector<catalogue_entry> entries = sample_catalogue());
    ~loopback_server();

    int port() const { return m_port; }
    httplib::Client client() const;
    // POSTs `body` to /au with the host's multipart content type.
    httplib::Result post_body(const std::string& body) const;

private:
    update_http_server m_server;
    int m_port = -1;
    std::thread m_thread;
};
