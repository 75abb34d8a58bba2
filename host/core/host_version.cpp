#include "host_version.h"

#include "frame/api/componentversion.h"
#include "frame/service_factory.h"
#include "service_registry.h"

namespace {

class host_version_record : public componentversion {
public:
    host_version_record(const char* file, const char* name, const char* about)
        : m_file(file), m_name(name), m_about(about) {}
    void get_file_name(string_sink& out) override { out.set_string(m_file); }
    void get_component_name(string_sink& out) override { out.set_string(m_name); }
    void get_component_version(string_sink& out) override { out.set_string(VLHOST_VERSION); }
    void get_about_message(string_sink& out) override { out.set_string(m_about); }

private:
    const char* m_file;
    const char* m_name;
    const char* m_about;
};

service_impl_single_t<host_version_record> g_core_record("vlhost.exe", "Vellora",
                                                          "Reference host that loads and runs Vellora components.");
service_impl_single_t<host_version_record> g_shared_record("shared.dll", "Shared helper library",
                                                           "UTF-8 forms of Windows calls and crash-report aids.");

}  // namespace

void register_host_version_records(service_registry& registry) {
    registry.add_instance(componentversion::class_guid, &g_core_record);
    registry.add_instance(componentversion::class_guid, &g_shared_record);
}
