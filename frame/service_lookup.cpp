#include "service_lookup.h"

#include "api/exceptions.h"
#include "api/host_api.h"
#include "bug_check.h"
#include "component.h"

namespace service_lookup_detail {

service_base* create_exactly_one(const guid& cls) {
    host_api* api = component::api();
    service_class_ref ref = api->service_enum_find_class(cls);
    size_t count = api->service_enum_get_count(ref);
    if (count == 0) throw exception_service_not_found();
    if (count > 1) throw exception_service_duplicated();
    service_base* out = nullptr;
    if (!api->service_enum_create(out, ref, 0) || !out) {
        if (g_component_profile.bug_check_with_path) throw_bug_check_v2();
        throw exception_bug_check();
    }
    return out;
}

std::vector<service_base*> create_all_counted(const guid& cls) {
    host_api* api = component::api();
    service_class_ref ref = api->service_enum_find_class(cls);
    size_t count = api->service_enum_get_count(ref);
    std::vector<service_base*> list;
    list.reserve(count);
    try {
        for (size_t i = 0; i < count; ++i) {
            service_base* out = nullptr;
            if (!api->service_enum_create(out, ref, i) || !out) throw_bug_check_v2();
            list.push_back(out);
        }
    } catch (...) {
        for (service_base* p : list) p->service_release();
        throw;
    }
    return list;
}

service_base* create_at(const guid& cls, size_t index) {
    host_api* api = component::api();
    service_class_ref ref = api->service_enum_find_class(cls);
    service_base* out = nullptr;
    if (!ref || !api->service_enum_create(out, ref, index)) return nullptr;
    return out;
}

}  // namespace service_lookup_detail
