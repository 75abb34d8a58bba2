// A worker thread of a component, with a name and a join. Whoever starts one must
// join it before the host may unload the component (see component_profile).
#pragma once

#include <windows.h>

#include <functional>

#include "api/exceptions.h"
#include "win32_handles.h"

class thread {
public:
    // Thread creation failed.
    class exception_creation : public message_exception {
    public:
        exception_creation() : message_exception("Could not create thread") {}
    };

    thread() = default;
    ~thread() { wait_and_close(); }
    thread(const thread&) = delete;
    thread& operator=(const thread&) = delete;

    // Starts `body` on a new thread with default stack size and the given priority,
    // named `name` where the system supports thread names. Throws exception_creation.
    void start(std::function<void()> body, int priority, const wchar_t* name);

    bool is_running() const { return static_cast<bool>(m_handle); }
    bool is_current() const { return m_id != 0 && m_id == GetCurrentThreadId(); }
    // Waits without time limit for the thread to end and closes its handle; when
    // called on the thread itself it only closes the handle.
    void wait_and_close();

private:
    static DWORD WINAPI entry(void* parameter);

    kernel_handle_t m_handle;
    DWORD m_id = 0;
};
