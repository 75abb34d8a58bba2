// The reference host: loads the components of a folder, offers them the host
// services, shows the main window and runs the message loop, starts and stops the
// components' hooks and saves every component's configuration at the end.
// Main thread only, unless stated otherwise.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "component_loader.h"
#include "config_store.h"
#include "frame/service_factory.h"
#include "host_api_impl.h"
#include "host_console.h"
#include "host_http.h"
#include "local_filesystem.h"
#include "host_menu.h"
#include "host_options.h"
#include "host_ui_services.h"
#include "main_window.h"
#include "service_registry.h"

class host {
public:
    explicit host(host_options options);
    ~host();
    host(const host&) = delete;
    host& operator=(const host&) = delete;

    // Prepares the profile, the main window and the host services, loads the
    // components, builds their menu entries and calls their start hooks. Component
    // failures are console lines, never exceptions; a profile that cannot be created
    // throws.
    void start();
    // Runs the command-line actions and the message loop until the host quits; then
    // shuts down. Answers the process exit code (3 when a wait timed out).
    int run();
    // Calls the stop hooks, lets running transfers end, closes the components' windows,
    // saves configuration, reports
    // services uninitialised and unloads the components. Does nothing the second time.
    void shutdown();
    // Runs the main-thread callbacks queued so far (the message loop does this too).
    size_t run_main_thread_callbacks();

    // The console lines of the component list: one per version record.
    std::vector<std::string> component_list();

    host_console_impl& console() { return m_console; }
    service_registry& registry() { return m_registry; }
    host_api& api() { return *m_api; }
    host_menu& menu() { return m_menu; }
    const component_loader& loader() const { return *m_loader; }
    const std::wstring& profile_folder() const { return m_profile_folder; }
    HWND main_window_handle() const { return m_window ? m_window->handle() : nullptr; }

private:
    void register_host_services();
    void install_dialog_hooks();
    void call_hooks(bool starting);
    // Destroys the top-level windows that components left open, while they can still
    // handle their last messages.
    void close_component_windows();
    void run_next_action();
    bool console_has_text_after_cursor(const std::string& text);
    void quit(int exit_code);

    host_options m_options;
    std::wstring m_profile_folder;
    std::wstring m_components_folder;
    service_impl_single_t<host_console_impl> m_console;
    service_impl_single_t<main_thread_callback_manager_impl> m_callbacks;
    service_impl_single_t<modeless_dialog_manager_impl> m_dialogs;
    service_impl_single_t<host_version_text_impl> m_version_text;
    service_impl_single_t<local_filesystem> m_local_files;
    std::unique_ptr<service_impl_single_t<http_client_impl>> m_http;
    service_registry m_registry;
    std::unique_ptr<host_api_impl> m_api;
    std::unique_ptr<config_store> m_configuration;
    std::unique_ptr<component_loader> m_loader;
    std::unique_ptr<main_window> m_window;
    host_menu m_menu;

    std::deque<host_action> m_pending_actions;
    // While a wait_console action runs: its text; the console line index it searches from.
    std::string m_waiting_for;
    std::atomic<bool> m_waiting{false};  // read by the console listener on any thread
    size_t m_console_cursor = 0;
    std::deque<int> m_answers;
    int m_exit_code = 0;
    bool m_started = false;
    bool m_shut_down = false;
};
