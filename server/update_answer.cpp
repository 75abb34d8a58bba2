#include "update_answer.h"

#include "version_order.h"

namespace {

const char* const protocol_version = "1.1";

void set_string(JSONValue& object, const char* name, const std::string& text) {
    object.objectSet(name, JSONValue::newString(text));
}

void set_optional(JSONValue& object, const char* name, const std::optional<std::string>& text) {
    if (text) set_string(object, name, *text);
}

}  // namespace

entry_state answer_state(const installed_component& component, const catalogue_entry* known) {
    if (!known) return state_unknown;
    if (known->ignore_reason) return state_ignored;
    // The catalogue refuses entries with neither version nor ignore reason; should one
    // appear anyway, saying "unknown" is better than an entry the client rejects.
    if (!known->version) return state_unknown;
    return compare_versions(*known->version, component.version) > 0 ? state_outdated : state_latest;
}

JSONValuePtr answer_entry(const installed_component& component, const catalogue_entry* known) {
    entry_state state = answer_state(component, known);
    JSONValuePtr entry = JSONValue::newObject();
    entry->objectSet("state", JSONValue::newInteger(state));
    set_string(*entry, "fileName", component.file_name);
    set_string(*entry, "curVersion", component.version);
    bool has_catalogue_name = known && !known->name.empty() && state != state_unknown;
    set_string(*entry, "name", has_catalogue_name ? known->name : component.name);
    if (state == state_unknown) return entry;
    set_optional(*entry, "version", known->version);
    set_optional(*entry, "versionDate", known->release_date);
    set_optional(*entry, "author", known->author);
    set_optional(*entry, "details", known->release_notes);
    set_optional(*entry, "link", known->download_link);
    set_optional(*entry, "ignoreReason", known->ignore_reason);
    return entry;
}

JSONValuePtr build_answer(const update_request& request, const catalogue_index& catalogue,
                          const answer_settings& settings) {
    JSONValuePtr updates = JSONValue::newArray();
    for (const installed_component& component : request.components)
        updates->arrayAppend(answer_entry(component, catalogue.find(component.file_name)));
    JSONValuePtr answer = JSONValue::newObject();
    set_string(*answer, "key", request.key + settings.public_url);
    answer->objectSet("updates", updates);
    set_string(*answer, "version", protocol_version);
    set_optional(*answer, "message", settings.message);
    return answer;
}
