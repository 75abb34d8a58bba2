#include "host_http.h"

#include <winhttp.h>

#include <memory>
#include <mutex>
#include <thread>
#include <cstring>
#include <functional>

#include "frame/service_impl.h"
#include "frame/utf16.h"
#include "frame/win32_handles.h"

namespace {

std::string winhttp_error_text(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleW(L"winhttp.dll"), code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return "error " + std::to_string(code);
    return wide_to_utf8(text);
}

struct internet_handle_traits {
    static HINTERNET invalid() { return nullptr; }
    static void close(HINTERNET h) { WinHttpCloseHandle(h); }
};
using internet_handle = win32_handle<HINTERNET, internet_handle_traits>;

// Counts a transfer as in flight for as long as the component waits on it or holds its
// response.
class in_flight_guard {
public:
    explicit in_flight_guard(std::atomic<int>& counter) : m_counter(counter) { ++m_counter; }
    ~in_flight_guard() { --m_counter; }
    in_flight_guard(const in_flight_guard&) = delete;
    in_flight_guard& operator=(const in_flight_guard&) = delete;

private:
    std::atomic<int>& m_counter;
};

// The WinHTTP handles of one transfer. Every blocking WinHTTP call runs on a thread of
// its own while the caller waits for it or for its abort event, so an abort returns at
// once even where closing a handle does not wake a blocked call; the call's thread
// keeps the handles alive until it ends.
class transfer : public std::enable_shared_from_this<transfer> {
public:
    transfer() = default;
    ~transfer() {
        request.reset();
        connection.reset();
        session.reset();
    }
    transfer(const transfer&) = delete;
    transfer& operator=(const transfer&) = delete;

    // Runs `call` (answering a WinHTTP success flag) and throws exception_aborted when
    // the abort comes first, exception_io with `what` and the error text when it fails.
    void run_blocking(std::function<bool(HINTERNET request)> call, abort_callback& abort, const std::string& what) {
        abort.check();
        struct outcome {
            kernel_handle_t done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
            bool ok = false;
            DWORD error = 0;
        };
        auto result = std::make_shared<outcome>();
        if (!result->done) throw exception_win32(GetLastError());
        HINTERNET handle = request.get();
        std::thread([self = shared_from_this(), result, call = std::move(call), handle] {
            result->ok = call(handle);
            result->error = GetLastError();
            SetEvent(result->done.get());
        }).detach();
        HANDLE waits[2] = {result->done.get(), static_cast<HANDLE>(abort.get_abort_event())};
        DWORD woken = WaitForMultipleObjects(waits[1] ? 2 : 1, waits, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 || abort.is_aborting()) throw vellora_io::exception_aborted();
        if (!result->ok) {
            SetLastError(result->error);
            fail(what);
        }
    }

    [[noreturn]] static void fail(const std::string& what) {
        throw vellora_io::exception_io(what + ": " + winhttp_error_text(GetLastError()));
    }

    internet_handle session, connection, request;
};

class http_reply_impl : public http_reply {
public:
    http_reply_impl(std::shared_ptr<transfer> t, std::atomic<int>& in_flight)
        : m_transfer(std::move(t)), m_in_flight(in_flight) {}

    size_t read(void* buffer, size_t bytes, abort_callback& abort) override {
        unsigned char* out = static_cast<unsigned char*>(buffer);
        size_t done = 0;
        while (done < bytes) {
            auto got = std::make_shared<DWORD>(0);
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 20));
            // The call's thread writes into its own buffer, which outlives an abort.
            auto piece = std::make_shared<std::vector<unsigned char>>(chunk);
            m_transfer->run_blocking(
                [got, piece](HINTERNET request) { return WinHttpReadData(request, piece->data(), static_cast<DWORD>(piece->size()), got.get()) != FALSE; },
                abort, "Reading the HTTP response failed");
            if (*got == 0) break;
            std::memcpy(out + done, piece->data(), *got);
            done += *got;
        }
        return done;
    }

    bool get_http_header(const char* name, string_sink& out) override {
        std::wstring wide_name = utf8_to_wide(name);
        DWORD size = 0;
        HINTERNET request = m_transfer->request.get();
        WinHttpQueryHeaders(request, WINHTTP_QUERY_CUSTOM, wide_name.c_str(), nullptr, &size, WINHTTP_NO_HEADER_INDEX);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            out.reset();
            return false;
        }
        std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CUSTOM, wide_name.c_str(), &value[0], &size,
                                 WINHTTP_NO_HEADER_INDEX)) {
            out.reset();
            return false;
        }
        value.resize(size / sizeof(wchar_t));
        out.set_string(wide_to_utf8(value));
        return true;
    }

private:
    std::shared_ptr<transfer> m_transfer;
    in_flight_guard m_in_flight;
};

struct post_field {
    std::string name, data, file_name, content_type;
};

class http_request_impl : public http_request_post {
public:
    http_request_impl(http_client_impl& client, std::string method) : m_client(client), m_method(std::move(method)) {}

    void add_header(const char* name, const char* value) override {
        m_headers += utf8_to_wide(name) + L": " + utf8_to_wide(value) + L"\r\n";
    }
    void add_post_data(const char* name, const void* data, size_t size, const char* file_name,
                       const char* content_type) override {
        m_fields.push_back({name, std::string(static_cast<const char*>(data), size), file_name ? file_name : "",
                            content_type ? content_type : ""});
    }
    service_ptr_t<vellora_io::readable_stream> run(const char* url, abort_callback& abort) override;

private:
    std::string multipart_body(const std::string& boundary) const;

    http_client_impl& m_client;
    std::string m_method;
    std::wstring m_headers;
    std::vector<post_field> m_fields;
};

std::string http_request_impl::multipart_body(const std::string& boundary) const {
    std::string body;
    for (const post_field& f : m_fields) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + f.name + "\"";
        if (!f.content_type.empty() || !f.file_name.empty()) body += "; filename=\"" + f.file_name + "\"";
        body += "\r\n";
        if (!f.content_type.empty()) body += "Content-Type: " + f.content_type + "\r\n";
        body += "\r\n" + f.data + "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    return body;
}

service_ptr_t<vellora_io::readable_stream> http_request_impl::run(const char* url, abort_callback& abort) {
    abort.check();
    std::wstring wide_url = utf8_to_wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = parts.dwSchemeLength = 1;
    if (!WinHttpCrackUrl(wide_url.c_str(), 0, 0, &parts))
        throw vellora_io::exception_io(std::string("Invalid URL: ") + url);
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                        std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    std::wstring connect_host = host;
    unsigned connect_port = parts.nPort;
    std::wstring headers = m_headers;
    for (const http_host_mapping& m : m_client.mappings()) {
        if (m.port == parts.nPort && CompareStringOrdinal(m.host.c_str(), -1, host.c_str(), -1, TRUE) == CSTR_EQUAL) {
            connect_host = m.address;
            connect_port = m.address_port;
            bool default_port = parts.nPort == (secure ? 443 : 80);
            headers += L"Host: " + host + (default_port ? L"" : L":" + std::to_wstring(parts.nPort)) + L"\r\n";
            break;
        }
    }

    in_flight_guard counted(m_client.in_flight_counter());
    auto t = std::make_shared<transfer>();
    t->session.reset(WinHttpOpen(L"Vellora reference host/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0));
    if (!t->session) transfer::fail("Could not start an HTTP session");
    WinHttpSetTimeouts(t->session.get(), 10000, 10000, 30000, 30000);
    t->connection.reset(WinHttpConnect(t->session.get(), connect_host.c_str(), static_cast<INTERNET_PORT>(connect_port), 0));
    if (!t->connection) transfer::fail("Could not connect to " + wide_to_utf8(host));
    t->request.reset(WinHttpOpenRequest(t->connection.get(), utf8_to_wide(m_method).c_str(), path.c_str(), nullptr,
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        secure ? WINHTTP_FLAG_SECURE : 0));
    if (!t->request) transfer::fail("Could not open the HTTP request");

    auto body = std::make_shared<std::string>();
    if (!m_fields.empty()) {
        const std::string boundary = "----VelloraHostBoundary7d4f2c9a1e";
        *body = multipart_body(boundary);
        headers += L"Content-Type: multipart/form-data; boundary=" + utf8_to_wide(boundary) + L"\r\n";
    }
    auto header_text = std::make_shared<std::wstring>(headers);
    t->run_blocking(
        [body, header_text](HINTERNET request) {
            const std::wstring& h = *header_text;
            return WinHttpSendRequest(request, h.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : h.c_str(),
                                      h.empty() ? 0 : static_cast<DWORD>(-1), body->empty() ? nullptr : &(*body)[0],
                                      static_cast<DWORD>(body->size()), static_cast<DWORD>(body->size()), 0) &&
                   WinHttpReceiveResponse(request, nullptr);
        },
        abort, std::string("HTTP request to ") + url + " failed");

    HINTERNET request = t->request.get();
    DWORD status = 0, size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX))
        transfer::fail(std::string("HTTP request to ") + url + " failed");
    if (status < 200 || status > 299) {
        wchar_t reason[128] = L"";
        DWORD reason_size = sizeof reason;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_TEXT, WINHTTP_HEADER_NAME_BY_INDEX, reason, &reason_size,
                            WINHTTP_NO_HEADER_INDEX);
        std::string text = wide_to_utf8(reason);
        throw vellora_io::exception_io("HTTP error " + std::to_string(status) + (text.empty() ? "" : " " + text));
    }
    return service_new<vellora_io::readable_stream, http_reply_impl, vellora_io::readable_stream, http_reply>(
        t, m_client.in_flight_counter());
}

}  // namespace

bool parse_http_host_mapping(const std::wstring& text, http_host_mapping& out) {
    size_t eq = text.find(L'=');
    if (eq == std::wstring::npos) return false;
    auto split = [](const std::wstring& part, std::wstring& name, unsigned& port) {
        size_t colon = part.rfind(L':');
        if (colon == std::wstring::npos || colon == 0 || colon + 1 == part.size()) return false;
        wchar_t* end = nullptr;
        unsigned long value = wcstoul(part.c_str() + colon + 1, &end, 10);
        if (*end != 0 || value == 0 || value > 65535) return false;
        name = part.substr(0, colon);
        port = static_cast<unsigned>(value);
        return true;
    };
    return split(text.substr(0, eq), out.host, out.port) && split(text.substr(eq + 1), out.address, out.address_port);
}

service_ptr_t<http_request> http_client_impl::create_request(const char* type) {
    if (std::string(type) == "POST")
        return service_new<http_request, http_request_impl, http_request, http_request_post>(*this, type);
    return service_new<http_request, http_request_impl, http_request>(*this, type);
}
