// The component's entry point and the client object the host drives.
#include "api/component_client.h"

#include "api/service_factory.h"
#include "cfg_var.h"
#include <atomic>

#include "component.h"
#include "service_factory.h"

namespace {

host_api* g_api = nullptr;
HINSTANCE g_module = nullptr;
std::string g_library_path;
std::string g_library_file_name;
std::atomic<bool> g_services_initialised{false};

class component_client_impl final : public component_client {
public:
    uint32_t get_version() override { return g_component_profile.client_version; }
    service_factory_base* get_service_list() override { return service_factory_list_head(); }
    void get_config(vellora_io::stream_writer* stream, abort_callback& abort) override {
        cfg_write_all(cfg_var::list_head(), *stream, abort);
    }
    void set_config(vellora_io::stream_reader* stream, abort_callback& abort) override {
        cfg_read_all(cfg_var::list_head(), *stream, abort);
    }
    void set_library_path(const char* path, const char* name) override {
        g_library_path = path;
        g_library_file_name = name;
    }
    void services_init(bool initialised) override {
        if (!initialised && g_services_initialised && g_component_profile.on_services_ending)
            g_component_profile.on_services_ending();
        g_services_initialised = initialised;
    }
    bool is_debug() override { return false; }
};

component_client_impl g_client;

}  // namespace

namespace component {
host_api* api() { return g_api; }
HINSTANCE module_handle() { return g_module; }
const std::string& library_path() { return g_library_path; }
const std::string& library_file_name() { return g_library_file_name; }
bool services_initialised() { return g_services_initialised; }
}  // namespace component

extern "C" __declspec(dllexport) component_client* vellora_get_interface(host_api* api, HINSTANCE module) {
    g_api = api;
    g_module = module;
    return &g_client;
}
