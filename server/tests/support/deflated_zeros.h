// Test input for inflation limits: `size` zero bytes as raw deflate, made piece by
// piece so that the zeros are never held in memory at once. For test programs
// (checks zlib's set-up with GoogleTest).
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

inline std::string deflated_zeros(size_t size) {
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
