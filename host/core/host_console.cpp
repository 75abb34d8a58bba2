#include "host_console.h"

#include <windows.h>

#include "frame/service_factory.h"

host_console_impl::~host_console_impl() {
    if (m_log) std::fclose(m_log);
}

void host_console_impl::print(const char* text, size_t length) {
    std::string line(text, length);
    std::function<void(const std::string&)> listener;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_lines.push_back(line);
        if (m_log) {
            std::fwrite(line.data(), 1, line.size(), m_log);
            std::fputs("\r\n", m_log);
            std::fflush(m_log);
        }
        if (m_echo) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        listener = m_listener;
    }
    if (listener) listener(line);
}

bool host_console_impl::open_log(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_log) std::fclose(m_log);
    m_log = _wfopen(path.c_str(), L"ab");
    return m_log != nullptr;
}

void host_console_impl::set_echo_to_stdout(bool echo) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_echo = echo;
}

void host_console_impl::set_listener(std::function<void(const std::string&)> listener) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_listener = std::move(listener);
}

std::vector<std::string> host_console_impl::lines() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lines;
}
