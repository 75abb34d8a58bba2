#include "update_manager.h"

#include "check_schedule.h"
#include "folder_write_probe.h"
#include "file_time.h"
#include "frame/api/shared.h"
#include "frame/component.h"
#include "frame/console.h"
#include "frame/main_thread.h"
#include "frame/seh_guard.h"
#include "frame/service_factory.h"
#include "frame/service_impl.h"
#include "frame/utf16.h"
#include "upkeep/review/update_list_dialog.h"
#include "upkeep/settings/first_run_dialog.h"
#include "upkeep_config.h"

namespace {

constexpr UINT kTimerPeriodMs = 600000;

service_impl_single_t<AUM, initquit, main_thread_callback> g_update_manager;
service_factory_instance_t<initquit> g_as_start_stop_hook(g_update_manager);
service_factory_instance_t<main_thread_callback> g_as_main_thread_callback(g_update_manager);

void print_disabled(const char* reason) {
    console::print(std::string("[Autoupdate] ") + reason + ", periodic automatic updating is disabled.");
}

}  // namespace

AUM& AUM::instance() { return g_update_manager; }

void AUM::on_init() {
    if (component::api()->is_skip_startup_enabled()) return;
    m_updating_disabled = false;
    string_sink_std module_path;
    uGetModuleFileName(component::module_handle(), module_path);
    DWORD attributes = uGetFileAttributes(module_path.get_ptr());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        print_disabled("Component file is read-only");
        m_updating_disabled = true;
        return;
    }
    DWORD granted = 0;
    bool ran = probe_folder_access(utf8_to_wide(module_folder_of(module_path.str())), GENERIC_WRITE, granted);
    if (!ran || granted != 0) {
        if (IsDebuggerPresent()) {
            print_disabled("Running under debugger");
            m_updating_disabled = true;
        } else {
            timer_check();
        }
    } else {
        print_disabled("User doesn't have write permissions for components folder, not even elevated");
        m_updating_disabled = true;
    }
}

void AUM::on_quit() {
    if (m_timer) {
        KillTimer(nullptr, m_timer);
        m_timer = 0;
    }
    if (m_current) m_current->abort();
}

void AUM::callback_run() {
    if (!m_in_progress) start_check(m_deferred_manual);
}

void CALLBACK AUM::timer_proc(HWND, UINT, UINT_PTR, DWORD) {
    run_seh_guarded([] { instance().timer_check(); });
}

void AUM::timer_check() {
    uCallStackTracker marker("AUM::timerCheck");
    assert_main_thread();
    if (!m_in_progress && is_automatic_check_due(cfg_check_interval_hours, cfg_last_check_time, current_file_time()))
        start_check(false);
    if (!m_timer) m_timer = SetTimer(nullptr, 0, kTimerPeriodMs, &AUM::timer_proc);
}

void AUM::start_check(bool manual) {
    assert_main_thread();
    if (cfg_stats_consent == stats_consent_not_asked) {
        m_deferred_manual = manual;
        AUFirstRun::Open(component::api()->get_main_window());
        return;
    }
    if (!AUULD::Flash(manual)) return;
    try {
        m_current = service_new<AUGULT, AUGULT>(manual);
        m_current->prepare();
        m_current->start_worker();
        m_in_progress = true;
    } catch (const std::exception& e) {
        m_current.release();
        console::print(std::string("[Autoupdate] Could not create update thread: ") + e.what());
    }
}

void AUM::wait_for_running_check() {
    if (m_current) m_current->wait_for_worker();
    finish();
}

void AUM::finish() {
    m_current.release();
    m_in_progress = false;
}
