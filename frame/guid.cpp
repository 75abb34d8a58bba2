#include "api/guid.h"

#include <cstdio>

void guid::to_bytes(uint8_t out[16]) const {
    out[0] = static_cast<uint8_t>(data1);
    out[1] = static_cast<uint8_t>(data1 >> 8);
    out[2] = static_cast<uint8_t>(data1 >> 16);
    out[3] = static_cast<uint8_t>(data1 >> 24);
    out[4] = static_cast<uint8_t>(data2);
    out[5] = static_cast<uint8_t>(data2 >> 8);
    out[6] = static_cast<uint8_t>(data3);
    out[7] = static_cast<uint8_t>(data3 >> 8);
    std::memcpy(out + 8, data4, 8);
}

guid guid::from_bytes(const uint8_t in[16]) {
    guid g;
    g.data1 = static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
              static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
    g.data2 = static_cast<uint16_t>(in[4] | in[5] << 8);
    g.data3 = static_cast<uint16_t>(in[6] | in[7] << 8);
    std::memcpy(g.data4, in + 8, 8);
    return g;
}

std::string guid::to_text() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(data1), data2, data3, data4[0], data4[1], data4[2], data4[3],
                  data4[4], data4[5], data4[6], data4[7]);
    return buf;
}

bool guid_memory_less::operator()(const guid& a, const guid& b) const {
    uint8_t x[16], y[16];
    a.to_bytes(x);
    b.to_bytes(y);
    return std::memcmp(x, y, 16) < 0;
}
