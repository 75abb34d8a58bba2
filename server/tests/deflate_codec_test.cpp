#include <gtest/gtest.h>
#include <zlib.h>

#include "server/deflate_codec.h"
#include "support/deflated_zeros.h"

namespace {

TEST(DeflateCodec, RoundTripAtTheLimit) {
    std::string text(100000, 'a');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 26);
    std::string out;
    EXPECT_EQ(inflate_status::ok, inflate_raw_limited(deflate_raw(text, 1), text.size(), out));
    EXPECT_EQ(text, out);
    EXPECT_EQ(inflate_status::too_large, inflate_raw_limited(deflate_raw(text, 1), text.size() - 1, out));
    EXPECT_TRUE(out.empty());
}

TEST(DeflateCodec, DamagedStreamsAreMalformed) {
    std::string stream = deflate_raw("{\"c\":[],\"key\":\"1\",\"t\":1,\"v\":\"1.1\"}", 1);
    const struct {
        const char* what;
        std::string data;
    } cases[] = {
        {"empty", ""},
        {"truncated", stream.substr(0, stream.size() - 2)},
        {"bytes after the end", stream + "x"},
        {"a second stream after the end", stream + stream},
        {"not deflate", "hello, this is plain text"},
        {"zlib header", std::string("\x78\x9c", 2) + stream},
        {"reserved block type", std::string("\x07", 1)},
    };
    for (const auto& c : cases) {
        std::string out = "left over";
        EXPECT_EQ(inflate_status::malformed, inflate_raw_limited(c.data, 1 << 20, out)) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}

TEST(DeflateCodec, BombStopsAtTheLimit) {
    // 512 MiB of zeros in about half a megabyte: inflation must stop at the limit
    // instead of producing the whole text.
    std::string bomb = deflated_zeros(size_t(512) << 20);
    ASSERT_LT(bomb.size(), size_t(1) << 20);
    std::string out;
    EXPECT_EQ(inflate_status::too_large, inflate_raw_limited(bomb, size_t(1) << 20, out));
    EXPECT_TRUE(out.empty());
    EXPECT_LE(out.capacity(), size_t(4) << 20);
}

}  // namespace
