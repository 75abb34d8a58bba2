// Update requests built exactly as the client builds them: the document written by
// the project's JSON writer, compressed with raw deflate at level 1 (window bits -15,
// memory level 8), and posted by the host as the multipart field "d" with an empty
// file name and content type application/octet-stream.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "upkeep/checking/json_value.h"

struct client_component {
    std::string file_name;
    std::string name;
    std::string version;
};

// {"c":[[file, name, version],...],"key":KEY,"s":STATISTICS,"t":TRIGGER,"v":"1.1"};
// "s" only when `statistics` is given.
JSONValuePtr client_request_document(const std::vector<client_component>& components, const std::string& key,
                                      int trigger, const JSONValuePtr& statistics = nullptr);

// The document's text, as the client's writer emits it.
std::string client_request_text(const JSONValue& document);

// The post field: the text compressed as the client compresses it.
std::string client_field(const std::string& request_text);

// The multipart body the host sends for the field, and its Content-Type.
extern const char* const client_boundary;
std::string client_multipart_body(const std::string& field);
// The same form with any fields (name, data), each as the host writes "d".
std::string multipart_body_of(const std::vector<std::pair<std::string, std::string>>& fields);
std::string client_content_type();

// A plausible request of `count` components (file names component<i>.dll).
std::vector<client_component> numbered_components(size_t count);
