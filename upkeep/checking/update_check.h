// AUGULT: one update check. Shared between the main thread, which prepares it and
// handles its result, and its worker thread, which sends it; counted references with
// interlocked counts. The result reaches the main thread only through the host's
// main-thread callback manager.
#pragma once

#include <windows.h>

#include <atomic>

#include "frame/api/io.h"
#include "frame/api/main_thread_callback.h"
#include "frame/win32_handles.h"
#include "frame/worker_thread.h"
#include "json_value.h"

// The check's abort object: a flag and a manual-reset event that wakes waits inside
// host calls. Set from the main thread, read from the worker.
class check_abort final : public abort_callback {
public:
    // Throws exception_win32 when the event cannot be created.
    check_abort();
    bool is_aborting() const override { return m_aborting.load(); }
    void* get_abort_event() const override { return m_event.get(); }
    void abort();

private:
    std::atomic<bool> m_aborting{false};
    kernel_handle_t m_event;
};

class AUGULT : public main_thread_callback {
public:
    explicit AUGULT(bool manual) : m_manual(manual) {}
    // Waits without time limit for the worker thread to end (unless this is the
    // worker itself), then lets the document and the event go.
    ~AUGULT();

    bool is_manual() const { return m_manual; }
    void abort() { m_abort.abort(); }
    // Waits without time limit until the worker thread has ended. Main thread.
    void wait_for_worker() { m_worker.wait_and_close(); }

    // Builds the request document. Main thread; throws on failure.
    void prepare();
    // Starts the worker thread at the lowest priority; it runs the check body and then
    // queues this check with the host's main-thread callback manager. Main thread;
    // throws thread::exception_creation.
    void start_worker();
    // Handles the result on the main thread.
    void callback_run() override;

private:
    // The check body: sends the request, validates the answer, reports failures on
    // the console. Worker thread; lets nothing escape.
    void body();
    // Posts the request and answers the verified, parsed answer. Worker thread.
    JSONValuePtr send_request(const JSONValuePtr& request);

    const bool m_manual;
    check_abort m_abort;
    // The request until the worker takes it; then the answer, or none after a failure.
    JSONValuePtr m_document;
    thread m_worker;
};
