#include <gtest/gtest.h>

#include "frame/api/guid.h"

TEST(Guid, ParsesTextIntoTheMemoryLayout) {
    constexpr guid g = guid::parse("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}");
    uint8_t bytes[16];
    g.to_bytes(bytes);
    const uint8_t expected[16] = {0xA4, 0x13, 0xEE, 0x7E, 0x4B, 0x65, 0x14, 0x4C,
                                  0xAF, 0xE0, 0x6C, 0xEC, 0x02, 0x48, 0x39, 0xC1};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 16));
    EXPECT_EQ(g, guid::from_bytes(expected));
    EXPECT_EQ("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}", g.to_text());
}

TEST(Guid, MemoryOrderComparesRawBytes) {
    // data1 is little-endian, so its lowest byte decides first.
    guid a = guid::parse("{000000FF-0000-0000-0000-000000000000}");
    guid b = guid::parse("{00000100-0000-0000-0000-000000000000}");
    EXPECT_FALSE(guid_memory_less()(a, b));
    EXPECT_TRUE(guid_memory_less()(b, a));
    EXPECT_TRUE(guid{}.is_null());
}
