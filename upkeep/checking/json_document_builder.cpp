#include "upkeep/checking/json_document_builder.h"

#include <utility>

// Events that arrive while no container is open: only the opening of the root object
// is welcome.
void JSONDocumentBuilder::requireOpenRoot(bool opensObject) const {
    if (!m_open.empty()) return;
    if (m_root) throw JSONParserException("Got token after end of data.");
    if (!opensObject) throw JSONParserException("Root is not an object.");
}

void JSONDocumentBuilder::add(const JSONValuePtr& value, bool isContainer) {
    requireOpenRoot(isContainer && value->kind() == JSONValue::Object);
    if (m_open.empty()) {
        m_root = value;
    } else {
        JSONValue& container = *m_open.back();
        if (container.kind() == JSONValue::Array) {
            container.arrayAppend(value);
        } else if (!container.objectAdd(std::move(m_pendingKey), value)) {  // each key is used once
            throw JSONParserException("Duplicate object key.");
        }
    }
    if (isContainer) m_open.push_back(value);
}

void JSONDocumentBuilder::close(JSONValue::Kind kind) {
    requireOpenRoot(false);
    if (m_open.back()->kind() != kind) throw JSONParserException("Syntax error.");
    m_open.pop_back();
}

void JSONDocumentBuilder::objectStart() { add(JSONValue::newObject(), true); }
void JSONDocumentBuilder::objectEnd() { close(JSONValue::Object); }
void JSONDocumentBuilder::arrayStart() { add(JSONValue::newArray(), true); }
void JSONDocumentBuilder::arrayEnd() { close(JSONValue::Array); }

void JSONDocumentBuilder::key(const char* bytes, size_t length) {
    requireOpenRoot(false);
    m_pendingKey.assign(bytes, length);
}

void JSONDocumentBuilder::stringValue(const char* bytes, size_t length) {
    add(JSONValue::newString(bytes, length), false);
}
void JSONDocumentBuilder::integerValue(int64_t value) { add(JSONValue::newInteger(value), false); }
void JSONDocumentBuilder::realValue(double value) { add(JSONValue::newReal(value), false); }
void JSONDocumentBuilder::booleanValue(bool value) { add(JSONValue::newBoolean(value), false); }
void JSONDocumentBuilder::nullValue() { add(JSONValue::newNull(), false); }
