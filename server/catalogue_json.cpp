#include "catalogue_json.h"

#include <stdexcept>

#include "strict_json_text.h"
#include "upkeep/checking/json_parser.h"

namespace {

struct optional_member {
    const char* name;
    std::optional<std::string> catalogue_entry::*field;
};

const optional_member optional_members[] = {
    {"version", &catalogue_entry::version},         {"versionDate", &catalogue_entry::release_date},
    {"author", &catalogue_entry::author},           {"details", &catalogue_entry::release_notes},
    {"link", &catalogue_entry::download_link},      {"ignoreReason", &catalogue_entry::ignore_reason},
};

bool is_known_member(const std::string& name) {
    if (name == "fileName" || name == "name") return true;
    for (const optional_member& m : optional_members)
        if (name == m.name) return true;
    return false;
}

std::string string_member(const JSONValue& object, const std::string& name, const std::string& where) {
    JSONValuePtr value = object.objectMember(name.c_str(), true);
    if (value->kind() != JSONValue::String) throw std::invalid_argument(where + ": \"" + name + "\" is not a string");
    return value->getString();
}

catalogue_entry read_entry(const JSONValue& object, size_t index) {
    std::string where = "catalogue entry " + std::to_string(index + 1);
    if (object.kind() != JSONValue::Object) throw std::invalid_argument(where + " is not an object");
    for (const auto& member : object.objectMembers())
        if (!is_known_member(member.first))
            throw std::invalid_argument(where + ": unknown member \"" + member.first + "\"");
    catalogue_entry entry;
    if (!object.objectMember("fileName", true)) throw std::invalid_argument(where + ": \"fileName\" is missing");
    entry.file_name = string_member(object, "fileName", where);
    if (object.objectMember("name", true)) entry.name = string_member(object, "name", where);
    for (const optional_member& m : optional_members)
        if (object.objectMember(m.name, true)) entry.*m.field = string_member(object, m.name, where);
    return entry;
}

}  // namespace

std::vector<catalogue_entry> catalogue_from_json(std::string_view text) {
    JSONValuePtr root;
    try {
        root = JSONParse(text.data(), text.size());
    } catch (const JSONParserException& e) {
        throw std::invalid_argument(std::string("the catalogue is not valid JSON: ") + e.what());
    }
    JSONValuePtr list = root->objectMember("components", true);
    if (!list || list->kind() != JSONValue::Array)
        throw std::invalid_argument("the catalogue needs a \"components\" array");
    std::vector<catalogue_entry> entries;
    for (size_t i = 0; i < list->arraySize(); ++i) entries.push_back(read_entry(*list->arrayItem(i), i));
    validate_catalogue(entries);
    return entries;
}

std::string catalogue_to_json(const std::vector<catalogue_entry>& entries) {
    // One component per line, so that the file reads and diffs well.
    std::string text = "{\"components\":[";
    for (size_t i = 0; i < entries.size(); ++i) {
        const catalogue_entry& e = entries[i];
        JSONValuePtr object = JSONValue::newObject();
        object->objectSet("fileName", JSONValue::newString(e.file_name));
        object->objectSet("name", JSONValue::newString(e.name));
        for (const optional_member& m : optional_members)
            if (e.*m.field) object->objectSet(m.name, JSONValue::newString(*(e.*m.field)));
        text += i == 0 ? "\n" : ",\n";
        // Escaped like answers, so that any JSON reader (ours included) reads it back.
        text += strict_json_text(*object);
    }
    text += "\n]}\n";
    return text;
}
