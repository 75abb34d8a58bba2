// Builds a document from the tokenizer's tokens. The root must be an object; member
// names must be unique. Portable: no Windows header.
#pragma once

#include <string>
#include <vector>

#include "upkeep/checking/json_tokenizer.h"
#include "upkeep/checking/json_value.h"

// Every failure is a JSONParserException:
//   "Got token after end of data."  a token after the root was closed
//   "Root is not an object."        the first token does not open an object
//   "Syntax error."                 a container end that does not match the open one
//   "Duplicate object key."         a name already present in the object
class JSONDocumentBuilder : public JSONTokenListener {
public:
    void objectStart() override;
    void objectEnd() override;
    void arrayStart() override;
    void arrayEnd() override;
    void key(const char* bytes, size_t length) override;
    void stringValue(const char* bytes, size_t length) override;
    void integerValue(int64_t value) override;
    void realValue(double value) override;
    void booleanValue(bool value) override;
    void nullValue() override;

    // The root object, once the first token has opened it.
    const JSONValuePtr& root() const { return m_root; }

private:
    void requireOpenRoot(bool opensObject) const;
    void add(const JSONValuePtr& value, bool isContainer);
    void close(JSONValue::Kind kind);

    std::vector<JSONValuePtr> m_open;  // the open containers, innermost last
    JSONValuePtr m_root;
    std::string m_pendingKey;
};
