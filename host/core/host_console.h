// The host's own console receiver: keeps every line, appends it to the log file,
// echoes it to standard output when asked, and tells a listener (the console pane).
// Thread-safe: lines may arrive from any thread.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "frame/api/console_receiver.h"

class host_console_impl : public console_receiver {
public:
    ~host_console_impl();

    void print(const char* text, size_t length) override;
    void print(const std::string& text) { print(text.data(), text.size()); }

    // Appends lines to this file from now on (UTF-8, CRLF line ends).
    bool open_log(const std::wstring& path);
    void set_echo_to_stdout(bool echo);
    // Called for every line on the printing thread, outside the console's lock.
    void set_listener(std::function<void(const std::string&)> listener);

    std::vector<std::string> lines() const;

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
    FILE* m_log = nullptr;
    bool m_echo = false;
    std::function<void(const std::string&)> m_listener;
};
