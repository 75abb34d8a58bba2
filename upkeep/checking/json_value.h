// The JSON document model of the update protocol: reference-counted values of seven
// kinds, shared between threads through counted references. Portable: no Windows header.
//
// Values are shared, never copied. A value is created with a count of 0 and owned by
// the JSONValuePtr references that point at it; the count changes atomically, so a
// document built on one thread can be read and released on another. Values must form a
// tree (or a DAG): a value that contains itself is never released.
//
// Objects keep their members ordered by unsigned byte-wise comparison of the names
// (a shorter name first when it is a prefix of the other), so members are always walked
// and written in that order, whatever the order of insertion. Strings and names end at
// their first zero byte.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "frame/api/exceptions.h"

// A wrong access to a value: wrong kind, index out of bounds, missing member.
class JSONValueException : public message_exception {
public:
    explicit JSONValueException(std::string message) : message_exception(std::move(message)) {}
};

// Text that is not a document: a syntax error, a root that is not an object, a
// duplicate member name.
class JSONParserException : public message_exception {
public:
    explicit JSONParserException(std::string message) : message_exception(std::move(message)) {}
};

class JSONValue;

// A counted reference to a value: copying adds a reference, destruction releases it,
// and the value is destroyed with its last reference. May be null.
class JSONValuePtr {
public:
    JSONValuePtr() noexcept = default;
    JSONValuePtr(std::nullptr_t) noexcept {}
    explicit JSONValuePtr(JSONValue* value) noexcept;
    JSONValuePtr(const JSONValuePtr& other) noexcept;
    JSONValuePtr(JSONValuePtr&& other) noexcept : m_value(other.m_value) { other.m_value = nullptr; }
    ~JSONValuePtr();
    JSONValuePtr& operator=(const JSONValuePtr& other) noexcept;
    JSONValuePtr& operator=(JSONValuePtr&& other) noexcept;

    JSONValue* get() const noexcept { return m_value; }
    JSONValue* operator->() const noexcept { return m_value; }
    JSONValue& operator*() const noexcept { return *m_value; }
    explicit operator bool() const noexcept { return m_value != nullptr; }
    void reset() noexcept { *this = nullptr; }

    friend bool operator==(const JSONValuePtr& a, const JSONValuePtr& b) { return a.m_value == b.m_value; }
    friend bool operator!=(const JSONValuePtr& a, const JSONValuePtr& b) { return a.m_value != b.m_value; }

private:
    JSONValue* m_value = nullptr;
};

class JSONValue {
public:
    enum Kind { Null = 0, Array = 1, Object = 2, Boolean = 3, Integer = 4, Real = 5, String = 6 };

    // Members in ascending unsigned byte order of their names (std::string compares
    // through char_traits<char>, which orders as unsigned char).
    using Members = std::map<std::string, JSONValuePtr, std::less<>>;

    static JSONValuePtr newNull();
    static JSONValuePtr newArray();
    static JSONValuePtr newObject();
    static JSONValuePtr newBoolean(bool value);
    static JSONValuePtr newInteger(int64_t value);
    static JSONValuePtr newReal(double value);
    // Each keeps the bytes before the first zero byte; a null pointer gives "".
    static JSONValuePtr newString(const char* utf8);
    static JSONValuePtr newString(const char* bytes, size_t length);
    static JSONValuePtr newString(const std::string& utf8);

    JSONValue(const JSONValue&) = delete;
    JSONValue& operator=(const JSONValue&) = delete;

    Kind kind() const { return m_kind; }

    // Typed reads: "Wrong value type." when the value has another kind.
    bool getBoolean() const;
    int64_t getInteger() const;
    double getReal() const;
    const std::string& getString() const;

    // Arrays. "Wrong value type." for a non-array; "Array index out of bounds." when
    // index >= size. Storing a null reference (here or in an object) throws
    // exception_invalid_params: every reader expects a value.
    size_t arraySize() const;
    JSONValuePtr arrayItem(size_t index) const;
    void arrayAppend(const JSONValuePtr& value);

    // Objects. "Wrong value type." for a non-object. objectMember answers nullptr for
    // an absent optional member and throws "Object key not found." for an absent
    // required one. checkStringMember throws "Wrong value type." when the member is
    // present but not a string, "Object key not found." when absent and required.
    JSONValuePtr objectMember(const char* name, bool optional = false) const;
    void checkStringMember(const char* name, bool optional) const;
    // Inserts, or replaces the value of an existing member.
    void objectSet(const char* name, const JSONValuePtr& value);
    // Inserts only when the name is new; answers whether it inserted. The name ends at
    // its first zero byte.
    bool objectAdd(std::string name, const JSONValuePtr& value);
    // Answers whether a member was removed.
    bool objectRemove(const char* name);
    // The in-order walk: iterate the members, in ascending name order
    //   for (const auto& [name, value] : object->objectMembers()) ...
    // "Wrong value type." for a non-object. Must not be held across changes of the
    // object.
    const Members& objectMembers() const;

private:
    friend class JSONValuePtr;
    using Items = std::vector<JSONValuePtr>;
    // One alternative per kind, in the order of the kind codes.
    using Payload = std::variant<std::monostate, Items, Members, bool, int64_t, double, std::string>;

    // The payload is built in place from `args`.
    template <size_t K, typename... Args>
    explicit JSONValue(std::in_place_index_t<K> kind, Args&&... args)
        : m_kind(static_cast<Kind>(K)), m_payload(kind, std::forward<Args>(args)...) {}
    ~JSONValue() = default;
    template <Kind K, typename... Args>
    static JSONValuePtr create(Args&&... args) {
        return JSONValuePtr(new JSONValue(std::in_place_index<K>, std::forward<Args>(args)...));
    }

    void addReference() noexcept { m_references.fetch_add(1, std::memory_order_relaxed); }
    void releaseReference() noexcept {
        if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    // The payload of kind K, or "Wrong value type.".
    template <Kind K>
    const std::variant_alternative_t<K, Payload>& payload() const;
    template <Kind K>
    std::variant_alternative_t<K, Payload>& payload();

    const Kind m_kind;
    Payload m_payload;
    std::atomic<size_t> m_references{0};
};

inline JSONValuePtr::JSONValuePtr(JSONValue* value) noexcept : m_value(value) {
    if (m_value) m_value->addReference();
}
inline JSONValuePtr::JSONValuePtr(const JSONValuePtr& other) noexcept : m_value(other.m_value) {
    if (m_value) m_value->addReference();
}
inline JSONValuePtr::~JSONValuePtr() {
    if (m_value) m_value->releaseReference();
}
inline JSONValuePtr& JSONValuePtr::operator=(const JSONValuePtr& other) noexcept {
    // Add first: assigning a reference to itself must not release the value.
    if (other.m_value) other.m_value->addReference();
    JSONValue* old = m_value;
    m_value = other.m_value;
    if (old) old->releaseReference();
    return *this;
}
inline JSONValuePtr& JSONValuePtr::operator=(JSONValuePtr&& other) noexcept {
    if (this != &other) {
        JSONValue* old = m_value;
        m_value = other.m_value;
        other.m_value = nullptr;
        if (old) old->releaseReference();
    }
    return *this;
}
