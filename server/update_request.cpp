#include "update_request.h"

#include "server_limits.h"
#include "request_refusal.h"
#include "upkeep/checking/json_parser.h"

namespace {

[[noreturn]] void refuse(const std::string& reason) { throw request_refusal(http_status::bad_request, reason); }

bool all_digits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

const std::string& required_string(const JSONValue& root, const char* name) {
    JSONValuePtr value = root.objectMember(name, true);
    if (!value) refuse(std::string("\"") + name + "\" is missing");
    if (value->kind() != JSONValue::String) refuse(std::string("\"") + name + "\" is not a string");
    return value->getString();
}

void check_protocol_version(const std::string& version) {
    // Major version 1, any minor version: "1.<digits>".
    std::string_view text(version);
    bool ok = text.size() <= server_limits::max_protocol_version_bytes && text.size() > 2 && text.substr(0, 2) == "1." &&
              all_digits(text.substr(2));
    if (!ok) refuse("\"v\" is not a 1.x protocol version");
}

std::string component_text(const JSONValue& triple, size_t index, size_t component) {
    JSONValuePtr item = triple.arrayItem(index);
    if (item->kind() != JSONValue::String)
        refuse("component " + std::to_string(component + 1) + " holds a value that is not a string");
    const std::string& text = item->getString();
    if (text.size() > server_limits::max_component_text_bytes)
        throw request_refusal(http_status::payload_too_large,
                              "component " + std::to_string(component + 1) + " holds a text longer than " +
                                  std::to_string(server_limits::max_component_text_bytes) + " bytes");
    return text;
}

std::vector<installed_component> read_components(const JSONValue& root) {
    JSONValuePtr list = root.objectMember("c", true);
    if (!list) refuse("\"c\" is missing");
    if (list->kind() != JSONValue::Array) refuse("\"c\" is not an array");
    size_t count = list->arraySize();
    if (count > server_limits::max_components)
        throw request_refusal(http_status::payload_too_large,
                              "more than " + std::to_string(server_limits::max_components) + " components");
    std::vector<installed_component> components;
    components.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        JSONValuePtr triple = list->arrayItem(i);
        if (triple->kind() != JSONValue::Array || triple->arraySize() != 3)
            refuse("component " + std::to_string(i + 1) + " is not an array of three strings");
        components.push_back({component_text(*triple, 0, i), component_text(*triple, 1, i),
                              component_text(*triple, 2, i)});
    }
    return components;
}

int64_t read_trigger(const JSONValue& root) {
    JSONValuePtr trigger = root.objectMember("t", true);
    if (!trigger) refuse("\"t\" is missing");
    if (trigger->kind() != JSONValue::Integer || (trigger->getInteger() != 1 && trigger->getInteger() != 2))
        refuse("\"t\" is not 1 or 2");
    return trigger->getInteger();
}

std::string read_key(const JSONValue& root) {
    const std::string& key = required_string(root, "key");
    if (key.empty() || key.size() > server_limits::max_key_digits || !all_digits(key))
        refuse("\"key\" is not a string of 1 to " + std::to_string(server_limits::max_key_digits) + " decimal digits");
    return key;
}

void check_statistics(const JSONValue& root) {
    JSONValuePtr statistics = root.objectMember("s", true);
    if (statistics && statistics->kind() != JSONValue::Object) refuse("\"s\" is not an object");
}

}  // namespace

update_request read_update_request(std::string_view text) {
    JSONParseOptions options;
    // The client's writer leaves most control bytes unescaped inside strings.
    options.acceptRawControlBytes = true;
    JSONValuePtr root;
    try {
        root = JSONParse(text.data(), text.size(), options);
    } catch (const JSONParserException& e) {
        refuse(std::string("the request is not valid JSON: ") + e.what());
    }
    check_protocol_version(required_string(*root, "v"));
    update_request request;
    request.components = read_components(*root);
    request.trigger = read_trigger(*root);
    request.key = read_key(*root);
    check_statistics(*root);
    return request;
}
