// A 16-byte identifier in the memory layout the whole system uses:
// data1 as u32, data2 and data3 as u16 (little-endian), then the 8 bytes of data4.
// Portable: includes no Windows header, so it builds on every target.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

struct guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};

    // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at compile time; a malformed
    // literal is a compile error when used in a constant expression.
    static constexpr guid parse(const char* text) {
        guid g;
        if (text[0] != '{' || text[37] != '}' || text[38] != 0) throw "malformed guid literal";
        g.data1 = static_cast<uint32_t>(hex_run(text + 1, 8));
        g.data2 = static_cast<uint16_t>(hex_run(text + 10, 4));
        g.data3 = static_cast<uint16_t>(hex_run(text + 15, 4));
        g.data4[0] = static_cast<uint8_t>(hex_run(text + 20, 2));
        g.data4[1] = static_cast<uint8_t>(hex_run(text + 22, 2));
        for (int i = 0; i < 6; ++i) g.data4[2 + i] = static_cast<uint8_t>(hex_run(text + 25 + 2 * i, 2));
        if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') throw "malformed guid literal";
        return g;
    }

    // The 16 bytes in stream order.
    void to_bytes(uint8_t out[16]) const;
    static guid from_bytes(const uint8_t in[16]);

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
    std::string to_text() const;

    bool is_null() const { return *this == guid{}; }

    friend bool operator==(const guid& a, const guid& b) {
        return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
               std::memcmp(a.data4, b.data4, 8) == 0;
    }
    friend bool operator!=(const guid& a, const guid& b) { return !(a == b); }

private:
    static constexpr int hex_digit(char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : throw "malformed guid literal";
    }
    static constexpr uint64_t hex_run(const char* p, int n) {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v = v * 16 + static_cast<uint64_t>(hex_digit(p[i]));
        return v;
    }
};

// Orders by the 16 stream bytes compared as raw memory, for indexes keyed by guid.
struct guid_memory_less {
    bool operator()(const guid& a, const guid& b) const;
};

static_assert(sizeof(guid) == 16, "guid must keep the 16-byte memory layout");
