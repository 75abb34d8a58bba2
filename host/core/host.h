// The reference host: loads the components of a folder, offers them the host
// services, shows the main window and runs the message loop, and saves every
// component's configuration at the end. Main thread only, unless stated otherwise.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "component_loader.h"
#include "config_store.h"
#include "host_api_impl.h"
#include "frame/service_factory.h"
#include "host_console.h"
#include "host_options.h"
#include "main_window.h"
#include "service_registry.h"

class host {
public:
    explicit host(host_options options);
    ~host();
    host(const host&) = delete;
    host& operator=(const host&) = delete;

    // Prepares the profile, the main window and the host services, then loads the
    // components. Component failures are console lines, never exceptions; a profile
    // that cannot be created throws.
    void start();
    // Runs the command-line actions and the message loop until the host quits; then
    // shuts down. Answers the process exit code.
    int run();
    // Saves configuration, reports services uninitialised and unloads the components.
    // Does nothing the second time.
    void shutdown();

    // The console lines of the component list: one per version record.
    std::vector<std::string> component_list();

    host_console_impl& console() { return m_console; }
    service_registry& registry() { return m_registry; }
    host_api& api() { return *m_api; }
    const component_loader& loader() const { return *m_loader; }
    const std::wstring& profile_folder() const { return m_profile_folder; }
    HWND main_window_handle() const { return m_window ? m_window->handle() : nullptr; }

private:
    void run_next_action();
    void quit();

    host_options m_options;
    std::wstring m_profile_folder;
    std::wstring m_components_folder;
    service_impl_single_t<host_console_impl> m_console;
    service_registry m_registry;
    std::unique_ptr<host_api_impl> m_api;
    std::unique_ptr<config_store> m_configuration;
    std::unique_ptr<component_loader> m_loader;
    std::unique_ptr<main_window> m_window;
    std::deque<host_action> m_pending_actions;
    bool m_started = false;
    bool m_shut_down = false;
};
