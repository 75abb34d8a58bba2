#include <gtest/gtest.h>
#include <zlib.h>

#include "server/deflate_codec.h"

namespace {

// `size` zero bytes deflated without ever holding them in memory at once.
std::string deflated_zeros(size_t size) {
    z_stream stream{};
    EXPECT_EQ(Z_OK, deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY));
    static const char zeros[64 * 1024] = {};
    std::string out;
    char buffer[64 * 1024];
    size_t fed = 0;
    int flush = Z_NO_FLUSH;
    do {
        size_t piece = std::min(sizeof zeros, size - fed);
        fed += piece;
        flush = fed == size ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros));
        stream.avail_in = static_cast<uInt>(piece);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&stream);
    return out;
}

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
