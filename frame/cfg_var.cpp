#include "cfg_var.h"

#include <algorithm>
#include <vector>

#include "byte_order.h"
#include "memory_stream.h"

namespace {
// Constant-initialised, so variables constructed during static initialisation of any
// translation unit find it ready.
cfg_var* g_cfg_list_head = nullptr;

constexpr uint32_t kOneReadLimit = 65536;
}  // namespace

cfg_var::cfg_var(const guid& id) : m_guid(id), m_next(g_cfg_list_head) { g_cfg_list_head = this; }

cfg_var* cfg_var::list_head() { return g_cfg_list_head; }

void cfg_write_all(cfg_var* head, vellora_io::stream_writer& out, abort_callback& abort) {
    memory_stream_writer payload;
    for (cfg_var* var = head; var; var = var->get_next()) {
        payload.clear();
        var->write_payload(payload, abort);
        if (payload.data().size() > UINT32_MAX) throw exception_overflow();
        uint8_t id[16];
        var->get_guid().to_bytes(id);
        out.write(id, 16, abort);
        write_u32(out, static_cast<uint32_t>(payload.data().size()), abort);
        if (!payload.data().empty()) out.write(payload.data().data(), payload.data().size(), abort);
    }
}

void cfg_read_all(cfg_var* head, vellora_io::stream_reader& in, abort_callback& abort) {
    std::map<guid, cfg_var*, guid_memory_less> readers;
    for (cfg_var* var = head; var; var = var->get_next()) readers.emplace(var->get_guid(), var);

    for (;;) {
        uint8_t id[16];
        size_t got = 0;
        while (got < 16) {
            size_t n = in.read(id + got, 16 - got, abort);
            if (n == 0) break;
            got += n;
        }
        if (got < 16) return;
        uint32_t size = read_u32(in, abort);

        auto found = readers.find(guid::from_bytes(id));
        if (found == readers.end()) {
            in.skip_object(size, abort);
            continue;
        }
        limited_stream_reader view(in, size);
        try {
            found->second->read_payload(view, abort);
        } catch (const vellora_io::exception_io_data&) {
            // A damaged payload leaves the variable as the partial read left it.
        }
        if (view.remaining() > 0) in.skip_object(view.remaining(), abort);
    }
}

std::string cfg_read_length_prefixed(vellora_io::stream_reader& in, abort_callback& abort) {
    uint32_t length = read_u32(in, abort);
    std::string text;
    if (length <= kOneReadLimit) {
        text.resize(length);
        if (length) in.read_object(&text[0], length, abort);
        return text;
    }
    size_t filled = 0;
    size_t capacity = kOneReadLimit;
    for (;;) {
        text.resize(capacity);
        in.read_object(&text[filled], capacity - filled, abort);
        filled = capacity;
        if (filled == length) return text;
        capacity = std::min<size_t>(capacity * 2, length);
    }
}

// ---- fixed-size kinds ----

namespace {
void encode(int32_t v, uint8_t* out) { le_store_u32(out, static_cast<uint32_t>(v)); }
void decode(const uint8_t* in, int32_t& v) { v = static_cast<int32_t>(le_load_u32(in)); }
void encode(uint64_t v, uint8_t* out) { le_store_u64(out, v); }
void decode(const uint8_t* in, uint64_t& v) { v = le_load_u64(in); }
void encode(const guid& v, uint8_t* out) { v.to_bytes(out); }
void decode(const uint8_t* in, guid& v) { v = guid::from_bytes(in); }

template <class T>
constexpr size_t payload_size = sizeof(T);
}  // namespace

template <class T>
void cfg_int_t<T>::write_payload(vellora_io::stream_writer& out, abort_callback& abort) const {
    uint8_t bytes[payload_size<T>];
    encode(m_value, bytes);
    out.write(bytes, sizeof bytes, abort);
}

template <class T>
void cfg_int_t<T>::read_payload(vellora_io::stream_reader& in, abort_callback& abort) {
    uint8_t bytes[payload_size<T>];
    in.read_object(bytes, sizeof bytes, abort);
    decode(bytes, m_value);
}

template class cfg_int_t<int32_t>;
template class cfg_int_t<uint64_t>;
template class cfg_int_t<guid>;

void cfg_bool::write_payload(vellora_io::stream_writer& out, abort_callback& abort) const {
    uint8_t b = m_value ? 1 : 0;
    out.write(&b, 1, abort);
}

void cfg_bool::read_payload(vellora_io::stream_reader& in, abort_callback& abort) {
    uint8_t b;
    in.read_object(&b, 1, abort);
    m_value = b != 0;
}

// ---- text kinds ----

void cfg_string::write_payload(vellora_io::stream_writer& out, abort_callback& abort) const {
    if (!m_value.empty()) out.write(m_value.data(), m_value.size(), abort);
}

void cfg_string::read_payload(vellora_io::stream_reader& in, abort_callback& abort) {
    std::string text;
    char chunk[1024];
    for (;;) {
        size_t n = in.read(chunk, sizeof chunk, abort);
        if (n == 0) break;
        text.append(chunk, n);
    }
    m_value = std::move(text);
}

void cfg_string_map::write_payload(vellora_io::stream_writer& out, abort_callback& abort) const {
    if (m_map.size() > UINT32_MAX) throw exception_overflow();
    write_u32(out, static_cast<uint32_t>(m_map.size()), abort);
    for (const auto& [key, value] : m_map) {
        for (const std::string* text : {&key, &value}) {
            if (text->size() > UINT32_MAX) throw exception_overflow();
            write_u32(out, static_cast<uint32_t>(text->size()), abort);
            if (!text->empty()) out.write(text->data(), text->size(), abort);
        }
    }
}

void cfg_string_map::read_payload(vellora_io::stream_reader& in, abort_callback& abort) {
    m_map.clear();
    uint32_t count = read_u32(in, abort);
    for (uint32_t i = 0; i < count; ++i) {
        std::string key = cfg_read_length_prefixed(in, abort);
        auto entry = m_map.try_emplace(std::move(key)).first;
        try {
            entry->second = cfg_read_length_prefixed(in, abort);
        } catch (...) {
            m_map.erase(entry);
            throw;
        }
    }
}
