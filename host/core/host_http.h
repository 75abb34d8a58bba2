// The host's HTTP client over WinHTTP. Requests may run on any thread. A host name
// can be mapped to another address and port (like a resolve option), so that tests
// and the demo reach a local server while components keep their own URLs; the Host
// header still names the original host.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "frame/api/http_client.h"

struct http_host_mapping {
    std::wstring host;  // as it appears in URLs, compared case-insensitively
    unsigned port;      // the URL's port (80 when the URL names none)
    std::wstring address;
    unsigned address_port;
};

// Parses "name:port=address:port"; false when malformed.
bool parse_http_host_mapping(const std::wstring& text, http_host_mapping& out);

class http_client_impl : public http_client {
public:
    explicit http_client_impl(std::vector<http_host_mapping> mappings) : m_mappings(std::move(mappings)) {}

    service_ptr_t<http_request> create_request(const char* type) override;

    // Requests running or whose responses are still open.
    int transfers_in_flight() const { return m_in_flight.load(); }

    const std::vector<http_host_mapping>& mappings() const { return m_mappings; }
    std::atomic<int>& in_flight_counter() { return m_in_flight; }

private:
    std::vector<http_host_mapping> m_mappings;
    std::atomic<int> m_in_flight{0};
};
