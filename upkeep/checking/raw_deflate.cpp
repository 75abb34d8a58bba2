#include "raw_deflate.h"

#include <zlib.h>

#include "frame/api/exceptions.h"

namespace {

// zlib counts in 32-bit units; larger bodies are refused as failures.
constexpr size_t kZlibLimit = 0xFFFFFFFFu;

class deflater {
public:
    deflater() {
        if (deflateInit2(&m_stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw vellora_io::exception_io("Compressor failure.");
    }
    ~deflater() { deflateEnd(&m_stream); }
    z_stream* get() { return &m_stream; }

private:
    z_stream m_stream{};
};

class inflater {
public:
    inflater() {
        if (inflateInit2(&m_stream, -15) != Z_OK) throw vellora_io::exception_io("Decompressor failure.");
    }
    ~inflater() { inflateEnd(&m_stream); }
    z_stream* get() { return &m_stream; }

private:
    z_stream m_stream{};
};

}  // namespace

std::vector<uint8_t> raw_deflate(const std::string& text) {
    if (text.size() > kZlibLimit) throw vellora_io::exception_io("Compressor failure.");
    deflater d;
    z_stream* s = d.get();
    std::vector<uint8_t> out(deflateBound(s, static_cast<uLong>(text.size())));
    s->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    s->avail_in = static_cast<uInt>(text.size());
    s->next_out = out.data();
    s->avail_out = static_cast<uInt>(out.size());
    int result = deflate(s, Z_FINISH);
    while (result == Z_OK) {
        size_t produced = out.size() - s->avail_out;
        if (out.size() * 2 > kZlibLimit) throw vellora_io::exception_io("Compressor failure.");
        out.resize(out.size() * 2);
        s->next_out = out.data() + produced;
        s->avail_out = static_cast<uInt>(out.size() - produced);
        result = deflate(s, Z_FINISH);
    }
    if (result != Z_STREAM_END) throw vellora_io::exception_io("Compressor failure.");
    out.resize(s->total_out);
    return out;
}

std::string raw_inflate(const uint8_t* data, size_t size) {
    if (size > kZlibLimit) throw vellora_io::exception_io("Decompressor failure.");
    inflater i;
    z_stream* s = i.get();
    std::string out(size > 0 ? size : 1, '\0');
    s->next_in = const_cast<Bytef*>(data);
    s->avail_in = static_cast<uInt>(size);
    s->next_out = reinterpret_cast<Bytef*>(&out[0]);
    s->avail_out = static_cast<uInt>(out.size());
    int result = inflate(s, Z_FINISH);
    // With Z_FINISH zlib answers Z_BUF_ERROR both when the output is full and when the
    // input ends early; only a full buffer is a reason to grow.
    while (result == Z_BUF_ERROR && s->avail_out == 0) {
        size_t produced = out.size();
        if (out.size() * 2 > kZlibLimit) throw vellora_io::exception_io("Decompressor failure.");
        out.resize(out.size() * 2);
        s->next_out = reinterpret_cast<Bytef*>(&out[produced]);
        s->avail_out = static_cast<uInt>(out.size() - produced);
        result = inflate(s, Z_FINISH);
    }
    if (result != Z_STREAM_END) throw vellora_io::exception_io("Decompressor failure.");
    out.resize(s->total_out);
    return out;
}
