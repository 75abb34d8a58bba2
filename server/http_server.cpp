#include "http_server.h"

#include <httplib.h>

#include <atomic>
#include <chrono>

#include "access_log.h"
#include "ascii_text.h"
#include "server_limits.h"
#include "request_refusal.h"

namespace {

using clock_type = std::chrono::steady_clock;

// What the access log needs beyond the request and response. A request is served
// from start to log line on one worker thread, so a thread-local record carries it.
struct request_trace {
    bool timed = false;
    clock_type::time_point start;
    size_t components = 0;
    std::string reason;
};
thread_local request_trace current_trace;

void send(httplib::Response& res, const exchange_result& result) {
    res.status = result.status;
    if (result.signature) res.set_header("X-VLRAAU-Signature", *result.signature);
    res.set_content(result.body, result.content_type.c_str());
    current_trace.components = result.components;
    current_trace.reason = result.reason;
}

void refuse(httplib::Response& res, int status, const std::string& reason) {
    send(res, refusal_result(status, reason));
}

// A refusal before the body was read leaves the body in the connection, which then
// cannot carry another request. Only for requests the client never sends.
httplib::Server::HandlerResponse refuse_before_body(httplib::Response& res, int status, const std::string& reason) {
    refuse(res, status, reason);
    res.set_header("Connection", "close");
    return httplib::Server::HandlerResponse::Handled;
}

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Refuses, before the body is read, the bodies the HTTP layer would read without the
// limit: a chunked body is bounded by nothing, and one with a content encoding would be
// decompressed by the HTTP layer itself.
httplib::Server::HandlerResponse check_before_body(const httplib::Request& req, httplib::Response& res) {
    current_trace = request_trace{true, clock_type::now(), 0, {}};
    if (req.has_header("Transfer-Encoding"))
        return refuse_before_body(res, http_status::length_required,
                                  "the body must come with a Content-Length, not chunked");
    std::string encoding = ascii_lower(req.get_header_value("Content-Encoding"));
    if (!encoding.empty() && encoding != "identity")
        return refuse_before_body(res, http_status::unsupported_media_type,
                                  "the body must not carry a content encoding");
    return httplib::Server::HandlerResponse::Unhandled;
}

// The reason for the log when the HTTP layer refused a request itself.
std::string http_layer_reason(int status) {
    switch (status) {
        case http_status::not_found:
            return "no such path";
        case http_status::payload_too_large:
            return "the body is larger than " + std::to_string(server_limits::max_request_body_bytes) + " bytes";
        default:
            return "malformed HTTP request";
    }
}

void log_request(const httplib::Request& req, const httplib::Response& res) {
    access_record record;
    record.peer = req.remote_addr + ":" + std::to_string(req.remote_port);
    record.method = req.method;
    record.path = req.path;
    record.status = res.status;
    if (current_trace.timed)
        record.duration_ms = std::chrono::duration<double, std::milli>(clock_type::now() - current_trace.start).count();
    record.components = current_trace.components;
    record.reason = current_trace.reason;
    if (record.reason.empty() && res.status >= 400) record.reason = http_layer_reason(res.status);
    write_access_log(record);
    current_trace = request_trace{};
}

}  // namespace

update_http_server::update_http_server(std::shared_ptr<const catalogue_index> catalogue, const answer_signer& signer,
                                       exchange_settings settings)
    : m_http(std::make_unique<httplib::Server>()),
      m_catalogue(std::move(catalogue)),
      m_signer(signer),
      m_settings(std::move(settings)) {
    install_handlers();
}

update_http_server::~update_http_server() { stop(); }

std::shared_ptr<const catalogue_index> update_http_server::catalogue() const { return std::atomic_load(&m_catalogue); }

void update_http_server::replace_catalogue(std::shared_ptr<const catalogue_index> catalogue) {
    std::atomic_store(&m_catalogue, std::move(catalogue));
}

void update_http_server::install_handlers() {
    httplib::Server& http = *m_http;
    http.new_task_queue = [] { return new httplib::ThreadPool(server_limits::worker_threads); };
    http.set_payload_max_length(server_limits::max_request_body_bytes);
    http.set_read_timeout(server_limits::read_timeout_seconds, 0);
    http.set_write_timeout(server_limits::write_timeout_seconds, 0);
    http.set_keep_alive_timeout(server_limits::keep_alive_timeout_seconds);
    http.set_keep_alive_max_count(server_limits::keep_alive_max_requests);
    // Headers and body leave in separate writes; with Nagle's algorithm the body would
    // wait for the peer's delayed acknowledgement (about 40 ms on Linux).
    http.set_tcp_nodelay(true);
    // The library's default also sets SO_REUSEPORT, which lets a second server start on
    // the same port and silently share its requests; a busy port must be an error.
    http.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    http.set_pre_routing_handler(check_before_body);
    // Bodies are read (within the limit) before these handlers run, so the connection
    // stays usable after a refusal.
    http.Post(update_path, [this](const httplib::Request& req, httplib::Response& res) {
        if (!starts_with(ascii_lower(req.get_header_value("Content-Type")), "multipart/form-data") ||
            !req.is_multipart_form_data())
            return refuse(res, http_status::bad_request, "the body is not multipart/form-data");
        size_t fields = req.files.count("d");
        if (fields != 1)
            return refuse(res, http_status::bad_request,
                          fields == 0 ? "the body has no field \"d\"" : "the body has more than one field \"d\"");
        send(res, answer_update_field(req.files.find("d")->second.content, *catalogue(), m_signer, m_settings));
    });
    auto method_not_allowed = [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Allow", "POST");
        refuse(res, http_status::method_not_allowed, "only POST is served here");
    };
    http.Get(update_path, method_not_allowed);  // HEAD as well
    http.Put(update_path, method_not_allowed);
    http.Patch(update_path, method_not_allowed);
    http.Delete(update_path, method_not_allowed);
    http.Options(update_path, method_not_allowed);
    // Refusals of the HTTP layer itself (no handler for the path, a malformed request
    // line or multipart body, a body over the limit) get a plain reason; ours keep theirs.
    http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) res.set_content(http_layer_reason(res.status) + "\n", "text/plain");
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
        std::string reason = "internal error";
        try {
            if (error) std::rethrow_exception(error);
        } catch (const std::exception& e) {
            reason += std::string(": ") + e.what();
        } catch (...) {
        }
        res.status = http_status::internal_error;
        res.set_content("internal error\n", "text/plain");
        current_trace.reason = reason;
    });
    http.set_logger(log_request);
}

int update_http_server::bind(const std::string& address, int port) {
    if (port == 0) return m_http->bind_to_any_port(address);
    return m_http->bind_to_port(address, port) ? port : -1;
}

bool update_http_server::run() { return m_http->listen_after_bind(); }

void update_http_server::stop() { m_http->stop(); }

bool update_http_server::is_running() const { return m_http->is_running(); }
