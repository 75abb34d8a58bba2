// Little-endian integer encoding for the stream formats. Portable.
#pragma once

#include <cstdint>

#include "api/io.h"

inline void le_store_u32(uint8_t* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t le_load_u32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
           static_cast<uint32_t>(in[3]) << 24;
}

inline void le_store_u64(uint8_t* out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint64_t le_load_u64(const uint8_t* in) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | in[i];
    return v;
}

inline void write_u32(vellora_io::stream_writer& out, uint32_t v, abort_callback& abort) {
    uint8_t b[4];
    le_store_u32(b, v);
    out.write(b, 4, abort);
}

inline uint32_t read_u32(vellora_io::stream_reader& in, abort_callback& abort) {
    uint8_t b[4];
    in.read_object(b, 4, abort);
    return le_load_u32(b);
}
