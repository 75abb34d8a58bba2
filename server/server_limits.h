// Every limit of the update server in one place. The server faces the internet:
// each input it reads is bounded before it is read, so a hostile client cannot make
// it allocate, wait or work without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace server_limits {

// HTTP body of one POST (the multipart envelope with the compressed field). A check
// of a few hundred components compresses to a few KiB.
constexpr size_t max_request_body_bytes = 256 * 1024;

// Request text after inflation. Inflation stops here, so a compressed bomb costs at
// most this much memory.
constexpr size_t max_inflated_bytes = 1024 * 1024;

// Components listed in one request ("c").
constexpr size_t max_components = 2000;

// Each of file name, component name and version text of one component.
constexpr size_t max_component_text_bytes = 1024;

// Replay key digits: a 64-bit file time has at most 20.
constexpr size_t max_key_digits = 20;

// Protocol version text ("v"), e.g. "1.1".
constexpr size_t max_protocol_version_bytes = 16;

// JSON nesting is bounded by the parser itself (126 open containers).

// Worker threads that serve connections; more connections wait in the queue.
constexpr size_t worker_threads = 8;

// Socket timeouts: a peer that stops sending or reading is dropped.
constexpr time_t read_timeout_seconds = 5;
constexpr time_t write_timeout_seconds = 5;

// Keep-alive: idle time and requests served on one connection.
constexpr time_t keep_alive_timeout_seconds = 5;
constexpr size_t keep_alive_max_requests = 100;

}  // namespace server_limits
