// Configuration variables: process-wide settings, each keyed by a GUID, that the
// host keeps between runs in one stream of records (GUID, u32 size, payload).
// Every variable is a static object; its constructor pushes it at the head of the
// module's list, so the list (and the written stream) runs from the last constructed
// variable to the first. Variables belong to the main thread; nothing here locks.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "api/guid.h"
#include "api/io.h"

class cfg_var {
public:
    cfg_var(const cfg_var&) = delete;
    cfg_var& operator=(const cfg_var&) = delete;

    const guid& get_guid() const { return m_guid; }
    cfg_var* get_next() const { return m_next; }

    // Writes the payload.
    virtual void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const = 0;
    // Reads the payload from a view limited to the record's size. A short payload
    // throws from the exception_io_data family and leaves the value as the partial
    // read left it.
    virtual void read_payload(vellora_io::stream_reader& in, abort_callback& abort) = 0;

    // Head of this module's list.
    static cfg_var* list_head();

protected:
    explicit cfg_var(const guid& id);
    ~cfg_var() = default;

private:
    guid m_guid;
    cfg_var* m_next;
};

// Writes every variable of the list starting at `head`, in list order.
void cfg_write_all(cfg_var* head, vellora_io::stream_writer& out, abort_callback& abort);

// Reads records until the stream ends. Records of unknown GUIDs are skipped; a
// variable's own data errors are swallowed; a stream that ends inside a size field
// throws exception_io_data_truncation, keeping what was read before.
void cfg_read_all(cfg_var* head, vellora_io::stream_reader& in, abort_callback& abort);

// A fixed-size value: 32-bit signed (4 bytes), 64-bit unsigned (8 bytes) or guid
// (16 bytes, guid memory layout). The payload must hold at least that many bytes.
template <class T>
class cfg_int_t final : public cfg_var {
public:
    cfg_int_t(const guid& id, T initial) : cfg_var(id), m_value(initial) {}

    T get_value() const { return m_value; }
    void set_value(T value) { m_value = value; }
    operator T() const { return m_value; }
    cfg_int_t& operator=(T value) {
        m_value = value;
        return *this;
    }

    void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const override;
    void read_payload(vellora_io::stream_reader& in, abort_callback& abort) override;

private:
    T m_value;
};

extern template class cfg_int_t<int32_t>;
extern template class cfg_int_t<uint64_t>;
extern template class cfg_int_t<guid>;

// A bool stored as one byte (0 or 1); any non-zero byte reads as true.
class cfg_bool final : public cfg_var {
public:
    cfg_bool(const guid& id, bool initial) : cfg_var(id), m_value(initial) {}

    bool get_value() const { return m_value; }
    void set_value(bool value) { m_value = value; }
    operator bool() const { return m_value; }
    cfg_bool& operator=(bool value) {
        m_value = value;
        return *this;
    }

    void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const override;
    void read_payload(vellora_io::stream_reader& in, abort_callback& abort) override;

private:
    bool m_value;
};

// A UTF-8 text; the whole payload is the text (no length, no terminator).
class cfg_string final : public cfg_var {
public:
    cfg_string(const guid& id, const char* initial) : cfg_var(id), m_value(initial) {}

    const std::string& get() const { return m_value; }
    const char* get_ptr() const { return m_value.c_str(); }
    void set(std::string value) { m_value = std::move(value); }
    cfg_string& operator=(std::string value) {
        m_value = std::move(value);
        return *this;
    }

    void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const override;
    void read_payload(vellora_io::stream_reader& in, abort_callback& abort) override;

private:
    std::string m_value;
};

// Unique UTF-8 keys to UTF-8 values, kept in ascending byte order of the keys.
// Payload: u32 count, then per entry key and value, each as u32 length + bytes.
class cfg_string_map final : public cfg_var {
public:
    using map_type = std::map<std::string, std::string>;

    explicit cfg_string_map(const guid& id) : cfg_var(id) {}

    const map_type& get() const { return m_map; }
    map_type& get() { return m_map; }
    void set(map_type value) { m_map = std::move(value); }

    void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const override;
    void read_payload(vellora_io::stream_reader& in, abort_callback& abort) override;

private:
    map_type m_map;
};

// Reads one u32-length-prefixed string. Lengths up to 65536 are read at once; longer
// ones in exact reads into a buffer that doubles from 65536, so a false length in a
// damaged stream fails with exception_io_data_truncation when the data ends instead
// of allocating the false size up front.
std::string cfg_read_length_prefixed(vellora_io::stream_reader& in, abort_callback& abort);
