// Builders of configuration-stream bytes for tests: little-endian integers, texts and
// records of GUID, u32 size and payload.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "frame/api/guid.h"
#include "frame/byte_order.h"

namespace stream_bytes {

using bytes = std::vector<uint8_t>;

inline bytes u32(uint32_t v) {
    bytes b(4);
    le_store_u32(b.data(), v);
    return b;
}
inline bytes u64(uint64_t v) {
    bytes b(8);
    le_store_u64(b.data(), v);
    return b;
}
inline bytes text(const std::string& s) { return bytes(s.begin(), s.end()); }
inline bytes cat(std::initializer_list<bytes> parts) {
    bytes out;
    for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
inline bytes guid_bytes(const guid& g) {
    bytes b(16);
    g.to_bytes(b.data());
    return b;
}
// One record with the given size field (which may differ from the payload's length).
inline bytes record(const guid& id, const bytes& payload, uint32_t size) { return cat({guid_bytes(id), u32(size), payload}); }
inline bytes record(const guid& id, const bytes& payload) {
    return record(id, payload, static_cast<uint32_t>(payload.size()));
}

}  // namespace stream_bytes
