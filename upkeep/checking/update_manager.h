// AUM: the update manager. Decides when a check runs and starts it; one static
// object offered as the host's start/stop hook and as a main-thread callback. All of
// its state belongs to the main thread.
#pragma once

#include <windows.h>

#include "frame/api/initquit.h"
#include "frame/api/main_thread_callback.h"
#include "update_check.h"

class AUM : public initquit, public main_thread_callback {
public:
    static AUM& instance();

    // Start-up: decides whether periodic checks may run and runs the first timer check.
    void on_init() override;
    // Stops the timer and tells a running check to abort; does not wait.
    void on_quit() override;
    // Starts the check that waited for the consent dialog.
    void callback_run() override;

    // Starts a check; callers call it only when no check is in progress.
    void start_check(bool manual);
    // Called when a check's result has been handled.
    void finish();
    // Waits for the worker of a running check to end (after on_quit told it to
    // abort); its result will not be handled any more, so the check is finished.
    void wait_for_running_check();

    bool in_progress() const { return m_in_progress; }
    bool updating_disabled() const { return m_updating_disabled; }

private:
    void timer_check();
    static void CALLBACK timer_proc(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR m_timer = 0;
    bool m_in_progress = false;
    service_ptr_t<AUGULT> m_current;
    bool m_deferred_manual = false;
    bool m_updating_disabled = false;
};
