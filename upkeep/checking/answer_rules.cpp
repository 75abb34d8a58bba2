#include "answer_rules.h"

#include <cstdint>

namespace {

class answer_error : public message_exception {
public:
    using message_exception::message_exception;
};

bool all_digits(const std::string& s, size_t from, size_t to) {
    if (from >= to) return false;
    for (size_t i = from; i < to; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

}  // namespace

void check_answer_version(const JSONValue& answer) {
    const std::string& version = answer.objectMember("version")->getString();
    size_t dot = version.find('.');
    if (dot == std::string::npos || !all_digits(version, 0, dot) || !all_digits(version, dot + 1, version.size()))
        throw answer_error("Invalid version.");
    // The major number as an unsigned 32-bit value (wrapping like a plain conversion).
    uint32_t major = 0;
    for (size_t i = 0; i < dot; ++i) major = major * 10u + static_cast<uint32_t>(version[i] - '0');
    if (major == 0) throw answer_error("Invalid version - client too new?");
    if (major > 1) throw answer_error("Invalid version - client too old, update.");
}

void check_answer_updates(const JSONValue& answer) {
    JSONValuePtr updates = answer.objectMember("updates");
    for (size_t i = 0, n = updates->arraySize(); i < n; ++i) {
        JSONValuePtr entry = updates->arrayItem(i);
        int64_t state = entry->objectMember("state")->getInteger();
        if (state < 0 || state > 3) throw JSONValueException("Invalid entry state.");
        entry->checkStringMember("fileName", false);
        entry->checkStringMember("name", false);
        entry->checkStringMember("curVersion", false);
        entry->checkStringMember("version", state != 1 && state != 2);
        entry->checkStringMember("versionDate", true);
        entry->checkStringMember("author", true);
        entry->checkStringMember("details", true);
    }
}

hidden_reconciliation reconcile_hidden_updates(const JSONValue& updates,
                                               const std::map<std::string, std::string>& stored) {
    hidden_reconciliation result;
    for (size_t i = 0, n = updates.arraySize(); i < n; ++i) {
        JSONValuePtr entry = updates.arrayItem(i);
        if (entry->objectMember("state")->getInteger() != 2) continue;
        ++result.updated;
        const std::string& file_name = entry->objectMember("fileName")->getString();
        auto found = stored.find(file_name);
        if (found == stored.end()) continue;
        const std::string& version = entry->objectMember("version")->getString();
        if (found->second != version) continue;
        entry->objectSet("_hidden", JSONValue::newBoolean(true));
        result.still_hidden[file_name] = version;
        ++result.hidden;
    }
    result.removed = stored.size() - result.still_hidden.size();
    return result;
}

std::string check_summary_line(size_t updated, size_t hidden, size_t removed) {
    std::string line = "[Autoupdate] ";
    if (updated == 0) {
        line += "No updated components were found";
    } else {
        line += std::to_string(updated) + " updated component(s) found";
        if (hidden == updated)
            line += ", all hidden";
        else if (hidden > 0)
            line += ", " + std::to_string(hidden) + " hidden";
    }
    line += removed > 0 ? ". " + std::to_string(removed) + " hidden update(s) no longer offered were removed." : ".";
    return line;
}
