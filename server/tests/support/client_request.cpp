#include "client_request.h"

#include "server/deflate_codec.h"
#include "upkeep/checking/json_writer.h"

const char* const client_boundary = "----VelloraHostBoundary7d4f2c9a1e";

JSONValuePtr client_request_document(const std::vector<client_component>& components, const std::string& key,
                                     int trigger, const JSONValuePtr& statistics) {
    JSONValuePtr list = JSONValue::newArray();
    for (const client_component& c : components) {
        JSONValuePtr triple = JSONValue::newArray();
        triple->arrayAppend(JSONValue::newString(c.file_name));
        triple->arrayAppend(JSONValue::newString(c.name));
        triple->arrayAppend(JSONValue::newString(c.version));
        list->arrayAppend(triple);
    }
    JSONValuePtr document = JSONValue::newObject();
    document->objectSet("v", JSONValue::newString("1.1"));
    document->objectSet("c", list);
    document->objectSet("t", JSONValue::newInteger(trigger));
    if (statistics) document->objectSet("s", statistics);
    document->objectSet("key", JSONValue::newString(key));
    return document;
}

std::string client_request_text(const JSONValue& document) {
    std::string text;
    JSONWrite(document, text);
    return text;
}

std::string client_field(const std::string& request_text) { return deflate_raw(request_text, 1); }

std::string client_multipart_body(const std::string& field) { return multipart_body_of({{"d", field}}); }

std::string multipart_body_of(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string boundary = client_boundary, body;
    for (const auto& [name, data] : fields)
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"\"\r\n" +
                "Content-Type: application/octet-stream\r\n\r\n" + data + "\r\n";
    return body + "--" + boundary + "--\r\n";
}

std::string client_content_type() { return std::string("multipart/form-data; boundary=") + client_boundary; }

std::vector<client_component> numbered_components(size_t count) {
    std::vector<client_component> components;
    for (size_t i = 0; i < count; ++i)
        components.push_back({"component" + std::to_string(i) + ".dll", "Component " + std::to_string(i),
                              "1." + std::to_string(i % 7) + "." + std::to_string(i % 3)});
    return components;
}
