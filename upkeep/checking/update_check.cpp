// The check object's life: abort object, worker thread, and the hand-back to the
// main thread.
#include "update_check.h"

#include "frame/api/shared.h"
#include "frame/bug_check.h"
#include "frame/console.h"
#include "frame/service_lookup.h"

check_abort::check_abort() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!m_event) throw_last_error();
}

void check_abort::abort() {
    m_aborting.store(true);
    SetEvent(m_event.get());
}

AUGULT::~AUGULT() { m_worker.wait_and_close(); }

void AUGULT::start_worker() {
    // The worker touches this object without a reference of its own: the update
    // manager keeps one until the result was handled, and the last release waits for
    // the worker to end.
    m_worker.start([this] { body(); }, THREAD_PRIORITY_LOWEST, L"Tendwell update check");
}
