// A request the server will not answer: the HTTP status (always 4xx) and a short
// reason for the client and the log.
#pragma once

#include <stdexcept>
#include <string>

class request_refusal : public std::runtime_error {
public:
    request_refusal(int status, const std::string& reason) : std::runtime_error(reason), m_status(status) {}
    int status() const { return m_status; }

private:
    int m_status;
};

namespace http_status {
constexpr int ok = 200;
constexpr int bad_request = 400;
constexpr int not_found = 404;
constexpr int method_not_allowed = 405;
constexpr int length_required = 411;
constexpr int payload_too_large = 413;
constexpr int unsupported_media_type = 415;
constexpr int internal_error = 500;
}  // namespace http_status
