// Host services for the main thread: the main-thread callback queue, the modeless
// dialog registry and the host version text.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "frame/api/main_thread_callback.h"
#include "frame/api/ui_services.h"

// Queues callbacks from any thread; the host runs them on the main thread.
class main_thread_callback_manager_impl : public main_thread_callback_manager {
public:
    // Called (on the queueing thread) when the queue goes from empty to non-empty,
    // so that the main thread can be woken.
    void set_wake(std::function<void()> wake);

    void add_callback(main_thread_callback* callback) override;

    // Runs the callbacks queued so far, in order, releasing each after it ran. A
    // callback that throws is reported through `report` and the others still run.
    // Main thread. Answers how many ran.
    size_t run_pending(const std::function<void(const std::string&)>& report);
    // From now on callbacks are released at once instead of queued; the ones queued
    // are released too. Used when the host shuts down.
    void close();
    size_t pending_count() const;

private:
    mutable std::mutex m_lock;
    std::deque<service_ptr_t<main_thread_callback>> m_queue;
    std::function<void()> m_wake;
    bool m_closed = false;
};

// Windows that want dialog keyboard handling from the host's message loop.
class modeless_dialog_manager_impl : public modeless_dialog_manager {
public:
    void add(HWND window) override;
    void remove(HWND window) override;
    // Offers a message to the registered dialogs; true when one of them took it.
    bool pre_translate(MSG& message);

private:
    std::vector<HWND> m_windows;
};

class host_version_text_impl : public host_version_text {
public:
    const char* get_version_text() override;
};
