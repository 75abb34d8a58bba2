#include "access_log.h"

#include <chrono>
#include <ctime>

namespace {

// Long paths are cut: a log line stays short whatever the client sends.
constexpr size_t max_logged_text_bytes = 256;

void append_json_string(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    if (text.size() > max_logged_text_bytes) text = text.substr(0, max_logged_text_bytes);
    out += '"';
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

}  // namespace

std::string access_log_line(const access_record& r, std::string_view time_text) {
    std::string line = "{\"time\":";
    append_json_string(line, time_text);
    line += ",\"peer\":";
    append_json_string(line, r.peer);
    line += ",\"method\":";
    append_json_string(line, r.method);
    line += ",\"path\":";
    append_json_string(line, r.path);
    line += ",\"status\":" + std::to_string(r.status);
    line += ",\"components\":" + std::to_string(r.components);
    if (r.duration_ms >= 0) {
        char duration[32];
        std::snprintf(duration, sizeof duration, "%.3f", r.duration_ms);
        line += ",\"duration_ms\":";
        line += duration;
    }
    if (!r.reason.empty()) {
        line += ",\"reason\":";
        append_json_string(line, r.reason);
    }
    line += '}';
    return line;
}

std::string utc_time_now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    long millis = static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03ldZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, millis);
    return text;
}

namespace {

void write_line(std::string line, std::FILE* to) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), to);
    std::fflush(to);
}

}  // namespace

void write_access_log(const access_record& record, std::FILE* to) {
    write_line(access_log_line(record, utc_time_now()), to);
}

void write_event_log(std::string_view event, std::string_view detail, std::FILE* to) {
    std::string line = "{\"time\":";
    append_json_string(line, utc_time_now());
    line += ",\"event\":";
    append_json_string(line, event);
    line += ",\"detail\":";
    append_json_string(line, detail);
    line += '}';
    write_line(std::move(line), to);
}
