// Raw deflate (no zlib header, no checksum) for the update protocol's bodies.
// Failures throw vellora_io::exception_io ("Compressor failure.", "Decompressor
// failure."). Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Compresses at level 1 into a buffer sized by zlib's bound, doubling it while zlib
// reports that it needs more room.
std::vector<uint8_t> raw_deflate(const std::string& text);

// Inflates into a buffer the size of the input that doubles while it is full. Bytes
// after the end of the deflate stream are ignored; input that ends before the stream
// does is a failure (it never makes the buffer grow).
std::string raw_inflate(const uint8_t* data, size_t size);
