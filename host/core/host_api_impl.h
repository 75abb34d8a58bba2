// The host_api object handed to every component: service lookup over the registry,
// the main window and thread, the profile path and the run's flags.
#pragma once

#include <string>

#include "frame/api/host_api.h"
#include "service_registry.h"

class host_api_impl final : public host_api {
public:
    host_api_impl(service_registry& registry, std::string profile_path, bool portable, bool skip_startup);

    // The main window, once created; the thread that calls this is the main thread.
    void set_main_window(HWND window) { m_main_window = window; }

    service_class_ref service_enum_find_class(const guid& cls) override { return m_registry.find_class(cls); }
    bool service_enum_create(service_base*& out, service_class_ref cls, size_t index) override {
        return m_registry.create(out, cls, index);
    }
    size_t service_enum_get_count(service_class_ref cls) override { return m_registry.count(cls); }
    HWND get_main_window() override { return m_main_window; }
    bool is_main_thread() override { return GetCurrentThreadId() == m_main_thread; }
    const char* get_profile_path() override { return m_profile_path.c_str(); }
    bool is_portable_mode_enabled() override { return m_portable; }
    bool is_skip_startup_enabled() override { return m_skip_startup; }

private:
    service_registry& m_registry;
    std::string m_profile_path;
    bool m_portable;
    bool m_skip_startup;
    DWORD m_main_thread;
    HWND m_main_window = nullptr;
};
