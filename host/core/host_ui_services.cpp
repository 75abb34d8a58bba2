#include "host_ui_services.h"

#include <algorithm>

#include "host_version.h"

void main_thread_callback_manager_impl::set_wake(std::function<void()> wake) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_wake = std::move(wake);
}

void main_thread_callback_manager_impl::add_callback(main_thread_callback* callback) {
    service_ptr_t<main_thread_callback> held(callback);
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_closed) return;  // `held` releases it here
        bool first = m_queue.empty();
        m_queue.push_back(std::move(held));
        if (first) wake = m_wake;
    }
    if (wake) wake();
}

size_t main_thread_callback_manager_impl::run_pending(const std::function<void(const std::string&)>& report) {
    std::deque<service_ptr_t<main_thread_callback>> batch;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        batch.swap(m_queue);
    }
    for (auto& callback : batch) {
        try {
            callback->callback_run();
        } catch (const std::exception& e) {
            report(std::string("A main-thread callback failed: ") + e.what());
        } catch (...) {
            report("A main-thread callback failed: Unknown exception");
        }
        callback.release();
    }
    return batch.size();
}

void main_thread_callback_manager_impl::close() {
    std::deque<service_ptr_t<main_thread_callback>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closed = true;
        dropped.swap(m_queue);
    }
}

size_t main_thread_callback_manager_impl::pending_count() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_queue.size();
}

void modeless_dialog_manager_impl::add(HWND window) {
    if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end()) m_windows.push_back(window);
}

void modeless_dialog_manager_impl::remove(HWND window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

bool modeless_dialog_manager_impl::pre_translate(MSG& message) {
    // A copy: a dialog may remove itself while handling the message.
    std::vector<HWND> windows = m_windows;
    for (HWND window : windows)
        if (IsWindow(window) && IsDialogMessageW(window, &message)) return true;
    return false;
}

const char* host_version_text_impl::get_version_text() { return "Vellora " VLHOST_VERSION; }
