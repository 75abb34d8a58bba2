#include "deflate_codec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace {

constexpr int raw_window_bits = -15;
constexpr int default_memory_level = 8;
constexpr size_t inflate_chunk_bytes = 16 * 1024;

// zlib counts in uInt; a larger input is cut here and then fails as incomplete.
uInt clamp_to_uint(size_t n) { return static_cast<uInt>(std::min<size_t>(n, UINT_MAX)); }

// Setting up a zlib stream allocates and clears a few hundred KiB; each worker thread
// keeps one compressor and one decompressor and resets them between uses.
class thread_deflater {
public:
    z_stream& stream(int level) {
        if (m_ready && m_level != level) {
            deflateEnd(&m_stream);
            m_ready = false;
        }
        if (!m_ready) {
            m_stream = z_stream{};
            if (deflateInit2(&m_stream, level, Z_DEFLATED, raw_window_bits, default_memory_level,
                             Z_DEFAULT_STRATEGY) != Z_OK)
                throw std::runtime_error("deflate set-up failed");
            m_ready = true;
            m_level = level;
        } else if (deflateReset(&m_stream) != Z_OK) {
            throw std::runtime_error("deflate reset failed");
        }
        return m_stream;
    }
    ~thread_deflater() {
        if (m_ready) deflateEnd(&m_stream);
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
    int m_level = 0;
};

class thread_inflater {
public:
    z_stream& stream() {
        if (!m_ready) {
            m_stream = z_stream{};
            if (inflateInit2(&m_stream, raw_window_bits) != Z_OK) throw std::runtime_error("inflate set-up failed");
            m_ready = true;
        } else if (inflateReset(&m_stream) != Z_OK) {
            throw std::runtime_error("inflate reset failed");
        }
        return m_stream;
    }
    ~thread_inflater() {
        if (m_ready) inflateEnd(&m_stream);
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

thread_local thread_deflater deflater;
thread_local thread_inflater inflater;

}  // namespace

std::string deflate_raw(std::string_view data, int level) {
    z_stream& stream = deflater.stream(level);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = clamp_to_uint(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = clamp_to_uint(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate failed");
    out.resize(stream.total_out);
    return out;
}

inflate_status inflate_raw_limited(std::string_view data, size_t max_output, std::string& out) {
    out.clear();
    z_stream& stream = inflater.stream();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = clamp_to_uint(data.size());

    inflate_status status = inflate_status::malformed;
    char chunk[inflate_chunk_bytes];
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        int result = inflate(&stream, Z_NO_FLUSH);
        size_t produced = sizeof chunk - stream.avail_out;
        if (out.size() + produced > max_output) {
            status = inflate_status::too_large;
            break;
        }
        out.append(chunk, produced);
        if (result == Z_STREAM_END) {
            // The stream must use the whole input: nothing may follow it.
            status = stream.total_in == data.size() ? inflate_status::ok : inflate_status::malformed;
            break;
        }
        // No progress possible: truncated input (Z_BUF_ERROR) or a damaged stream.
        if (result != Z_OK) break;
        if (stream.avail_in == 0 && produced == 0) break;
    }
    if (status != inflate_status::ok) out.clear();
    return status;
}
