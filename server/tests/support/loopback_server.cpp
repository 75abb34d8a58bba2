#include "loopback_server.h"

#include <chrono>
#include <stdexcept>

#include "client_request.h"
#include "test_keys.h"

loopback_server::loopback_server(exchange_settings settings, std::vector<catalogue_entry> entries)
    : m_server(std::make_shared<const catalogue_index>(std::move(entries)), dev_signer(), std::move(settings)) {
    m_port = m_server.bind("127.0.0.1", 0);
    if (m_port <= 0) throw std::runtime_error("cannot bind a loopback port");
    m_thread = std::thread([this] { m_server.run(); });
    for (int i = 0; i < 500 && !m_server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

loopback_server::~loopback_server() {
    m_server.stop();
    m_thread.join();
}

httplib::Client loopback_server::client() const {
    httplib::Client client("127.0.0.1", m_port);
    client.set_read_timeout(10, 0);
    return client;
}

httplib::Result loopback_server::post_body(const std::string& body) const {
    return client().Post("/au", body, client_content_type().c_str());
}
