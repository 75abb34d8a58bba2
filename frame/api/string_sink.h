// A UTF-8 text that a callee in another module fills: the out-parameter of every
// operation that sets or appends text. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

class string_sink {
public:
    virtual void set_string(const char* text, size_t length) = 0;
    virtual void add_string(const char* text, size_t length) = 0;
    virtual const char* get_ptr() const = 0;
    virtual size_t length() const = 0;

    void set_string(const char* text) { set_string(text, std::strlen(text)); }
    void add_string(const char* text) { add_string(text, std::strlen(text)); }
    void set_string(const std::string& text) { set_string(text.data(), text.size()); }
    void add_string(const std::string& text) { add_string(text.data(), text.size()); }
    void reset() { set_string("", 0); }

protected:
    ~string_sink() = default;
};

// A string_sink over a std::string owned by the caller's module.
class string_sink_std final : public string_sink {
public:
    string_sink_std() = default;
    explicit string_sink_std(std::string initial) : m_text(std::move(initial)) {}

    using string_sink::add_string;
    using string_sink::set_string;
    void set_string(const char* text, size_t length) override { m_text.assign(text, length); }
    void add_string(const char* text, size_t length) override { m_text.append(text, length); }
    const char* get_ptr() const override { return m_text.c_str(); }
    size_t length() const override { return m_text.size(); }

    const std::string& str() const { return m_text; }
    std::string& str() { return m_text; }

private:
    std::string m_text;
};
