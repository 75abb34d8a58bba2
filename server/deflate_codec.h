// Raw deflate (no zlib header, no checksum: window bits -15), the compression of
// both directions of an update check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Compresses `data` as one complete raw deflate stream. Throws std::runtime_error
// when zlib fails (it does not for valid arguments).
std::string deflate_raw(std::string_view data, int level);

enum class inflate_status { ok, malformed, too_large };

// Inflates one raw deflate stream that must end exactly at the end of `data`.
// Output beyond `max_output` stops the inflation (too_large) so that a small
// compressed input cannot claim more memory than the limit; a damaged or truncated
// stream, or bytes after its end, give malformed. `out` holds the text only on ok.
inflate_status inflate_raw_limited(std::string_view data, size_t max_output, std::string& out);
