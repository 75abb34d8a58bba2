#include "upkeep/checking/json_value.h"

#include <cstring>

namespace {

const char kWrongType[] = "Wrong value type.";
const char kIndexOutOfBounds[] = "Array index out of bounds.";
const char kKeyNotFound[] = "Object key not found.";

// A null reference stored in a container would crash every later reader.
void requireValue(const JSONValuePtr& value) {
    if (!value) throw exception_invalid_params();
}

}  // namespace

JSONValuePtr JSONValue::newNull() { return create<Null>(); }
JSONValuePtr JSONValue::newArray() { return create<Array>(); }
JSONValuePtr JSONValue::newObject() { return create<Object>(); }
JSONValuePtr JSONValue::newBoolean(bool value) { return create<Boolean>(value); }
JSONValuePtr JSONValue::newInteger(int64_t value) { return create<Integer>(value); }
JSONValuePtr JSONValue::newReal(double value) { return create<Real>(value); }

JSONValuePtr JSONValue::newString(const char* utf8) { return create<String>(utf8 ? utf8 : ""); }

JSONValuePtr JSONValue::newString(const char* bytes, size_t length) {
    if (!bytes) length = 0;
    const void* zero = length ? std::memchr(bytes, 0, length) : nullptr;
    if (zero) length = static_cast<size_t>(static_cast<const char*>(zero) - bytes);
    return create<String>(bytes ? bytes : "", length);
}

JSONValuePtr JSONValue::newString(const std::string& utf8) { return newString(utf8.data(), utf8.size()); }

template <JSONValue::Kind K>
const std::variant_alternative_t<K, JSONValue::Payload>& JSONValue::payload() const {
    if (m_kind != K) throw JSONValueException(kWrongType);
    return *std::get_if<K>(&m_payload);
}

template <JSONValue::Kind K>
std::variant_alternative_t<K, JSONValue::Payload>& JSONValue::payload() {
    if (m_kind != K) throw JSONValueException(kWrongType);
    return *std::get_if<K>(&m_payload);
}

bool JSONValue::getBoolean() const { return payload<Boolean>(); }
int64_t JSONValue::getInteger() const { return payload<Integer>(); }
double JSONValue::getReal() const { return payload<Real>(); }
const std::string& JSONValue::getString() const { return payload<String>(); }

size_t JSONValue::arraySize() const { return payload<Array>().size(); }

JSONValuePtr JSONValue::arrayItem(size_t index) const {
    const Items& items = payload<Array>();
    if (index >= items.size()) throw JSONValueException(kIndexOutOfBounds);
    return items[index];
}

void JSONValue::arrayAppend(const JSONValuePtr& value) {
    Items& items = payload<Array>();
    requireValue(value);
    items.push_back(value);
}

JSONValuePtr JSONValue::objectMember(const char* name, bool optional) const {
    const Members& members = payload<Object>();
    auto found = members.find(name);
    if (found != members.end()) return found->second;
    if (optional) return nullptr;
    throw JSONValueException(kKeyNotFound);
}

void JSONValue::checkStringMember(const char* name, bool optional) const {
    JSONValuePtr member = objectMember(name, optional);
    if (member && member->kind() != String) throw JSONValueException(kWrongType);
}

void JSONValue::objectSet(const char* name, const JSONValuePtr& value) {
    Members& members = payload<Object>();
    requireValue(value);
    auto found = members.find(name);
    if (found != members.end())
        found->second = value;
    else
        members.emplace(name, value);
}

bool JSONValue::objectAdd(std::string name, const JSONValuePtr& value) {
    Members& members = payload<Object>();
    requireValue(value);
    name.resize(std::strlen(name.c_str()));
    return members.try_emplace(std::move(name), value).second;
}

bool JSONValue::objectRemove(const char* name) {
    Members& members = payload<Object>();
    auto found = members.find(name);
    if (found == members.end()) return false;
    members.erase(found);
    return true;
}

const JSONValue::Members& JSONValue::objectMembers() const { return payload<Object>(); }
