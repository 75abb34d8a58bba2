// The host's HTTP client. Any thread. Failures (connection, HTTP status, abort) are
// the vellora_io exceptions.
#pragma once

#include <cstddef>

#include "io.h"
#include "service.h"
#include "string_sink.h"

namespace vellora_io {

// A readable stream offered as a service object.
class readable_stream : public service_base, public stream_reader {
public:
    static constexpr guid class_guid = guid::parse("{4C7C1F0E-58D3-4D4B-9E63-1B0C2A7D5E41}");
};

}  // namespace vellora_io

// The response of a request: its body as a readable stream, and its headers.
class http_reply : public vellora_io::readable_stream {
public:
    static constexpr guid class_guid = guid::parse("{7F02BF78-5C98-4D6D-836B-B777A4A33EE5}");

    // Sets `out` to the header's value and answers true when the response has it.
    virtual bool get_http_header(const char* name, string_sink& out) = 0;
};

class http_request : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{A2E0F3B6-1C74-4F0A-8D59-6E3B7C21D904}");

    virtual void add_header(const char* name, const char* value) = 0;
    // Sends the request and answers the response, whose body is read as a stream;
    // the response object also answers queries for http_reply. Aborting the abort
    // object (its event) ends a blocked transfer with vellora_io::exception_aborted.
    virtual service_ptr_t<vellora_io::readable_stream> run(const char* url, abort_callback& abort) = 0;
};

// A request that carries post fields, sent as multipart/form-data.
class http_request_post : public http_request {
public:
    static constexpr guid class_guid = guid::parse("{E254B804-EAC5-4BE0-994D-531C17EAFD37}");

    virtual void add_post_data(const char* name, const void* data, size_t size, const char* file_name,
                               const char* content_type) = 0;
};

class http_client : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{3B5FFE0C-D75A-491E-BB6F-103F731E8184}");

    // A request of the method `type` ("GET", "POST"); a "POST" request answers
    // queries for http_request_post.
    virtual service_ptr_t<http_request> create_request(const char* type) = 0;
};
