// Structured request log: one JSON object per line on stderr, e.g.
//   {"time":"2025-01-31T12:00:00.123Z","peer":"127.0.0.1:50712","method":"POST","path":"/au",
//    "status":200,"components":12,"duration_ms":1.84}
// plus "reason" for refused requests, and lines with "event" for starting, stopping
// and reloading. Every byte outside printable ASCII is written
// as a \u00XX escape, so a hostile path cannot break or forge a line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

struct access_record {
    std::string peer;
    std::string method;
    std::string path;
    int status = 0;
    size_t components = 0;
    double duration_ms = -1;  // negative: unknown (the request ended before it was timed)
    std::string reason;       // why a request was refused; empty otherwise
};

// The log line, without the line break.
std::string access_log_line(const access_record& record, std::string_view time_text);

// UTC time of now, e.g. "2025-01-31T12:00:00.123Z".
std::string utc_time_now();

// Writes the line and a line break with one call, so lines of threads never mix.
void write_access_log(const access_record& record, std::FILE* to = stderr);

// A line about the server itself: {"time":...,"event":"listening","detail":"..."}.
void write_event_log(std::string_view event, std::string_view detail, std::FILE* to = stderr);
