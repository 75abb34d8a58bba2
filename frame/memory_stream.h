// Streams over memory: a growable writer and a reader over caller-owned bytes, and a
// view that limits a reader to a byte count. Portable.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "api/io.h"

class memory_stream_writer final : public vellora_io::stream_writer {
public:
    void write(const void* buffer, size_t bytes, abort_callback& abort) override {
        abort.check();
        const auto* p = static_cast<const uint8_t*>(buffer);
        m_data.insert(m_data.end(), p, p + bytes);
    }
    const std::vector<uint8_t>& data() const { return m_data; }
    std::vector<uint8_t>& data() { return m_data; }
    void clear() { m_data.clear(); }

private:
    std::vector<uint8_t> m_data;
};

class memory_stream_reader final : public vellora_io::stream_reader {
public:
    memory_stream_reader(const void* data, size_t size) : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    explicit memory_stream_reader(const std::vector<uint8_t>& data) : memory_stream_reader(data.data(), data.size()) {}

    size_t read(void* buffer, size_t bytes, abort_callback& abort) override {
        abort.check();
        size_t n = bytes < m_size - m_pos ? bytes : m_size - m_pos;
        if (n) std::memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return n;
    }
    size_t position() const { return m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A view of `limit` bytes of another reader. Reads return at most the remaining
// bytes; exact reads and skips beyond the remainder throw exception_io_data_truncation
// without consuming anything. Counts every byte taken from the underlying reader, also
// when that reader fails part-way.
class limited_stream_reader final : public vellora_io::stream_reader {
public:
    limited_stream_reader(vellora_io::stream_reader& inner, uint64_t limit) : m_inner(inner), m_remaining(limit) {}

    size_t read(void* buffer, size_t bytes, abort_callback& abort) override {
        if (bytes > m_remaining) bytes = static_cast<size_t>(m_remaining);
        if (bytes == 0) return 0;
        size_t got = m_inner.read(buffer, bytes, abort);
        m_remaining -= got;
        return got;
    }
    void read_object(void* buffer, size_t bytes, abort_callback& abort) override {
        if (bytes > m_remaining) throw vellora_io::exception_io_data_truncation();
        stream_reader::read_object(buffer, bytes, abort);
    }
    void skip_object(uint64_t bytes, abort_callback& abort) override {
        if (bytes > m_remaining) throw vellora_io::exception_io_data_truncation();
        stream_reader::skip_object(bytes, abort);
    }
    uint64_t remaining() const { return m_remaining; }

private:
    vellora_io::stream_reader& m_inner;
    uint64_t m_remaining;
};
