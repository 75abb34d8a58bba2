#include "worker_thread.h"

#include <memory>


namespace {

struct start_data {
    std::function<void()> body;
};

void set_thread_name(HANDLE handle, const wchar_t* name) {
    using set_description_fn = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    auto set = reinterpret_cast<set_description_fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (set && name) set(handle, name);
}

void run_body(start_data& data) {
    // The body handles its own failures; anything that still escapes must not
    // unwind into the system's thread start.
    try {
        data.body();
    } catch (...) {
    }
}

}  // namespace

DWORD WINAPI thread::entry(void* parameter) {
    std::unique_ptr<start_data> data(static_cast<start_data*>(parameter));
    run_body(*data);
    return 0;
}

void thread::start(std::function<void()> body, int priority, const wchar_t* name) {
    wait_and_close();
    auto data = std::make_unique<start_data>(start_data{std::move(body)});
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, &thread::entry, data.get(), CREATE_SUSPENDED, &id);
    if (!handle) throw exception_creation();
    data.release();
    m_handle.reset(handle);
    m_id = id;
    set_thread_name(handle, name);
    SetThreadPriority(handle, priority);
    ResumeThread(handle);
}

void thread::wait_and_close() {
    if (!m_handle) return;
    if (!is_current()) WaitForSingleObject(m_handle.get(), INFINITE);
    m_handle.reset();
    m_id = 0;
}
