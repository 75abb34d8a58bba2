#include "service_registry.h"

#include <algorithm>

service_class& service_registry::class_entry(const guid& cls) {
    auto& entry = m_classes[cls];
    if (!entry) entry = std::make_unique<service_class>(service_class{cls, {}});
    return *entry;
}

void service_registry::add_instance(const guid& cls, service_base* instance) {
    std::lock_guard<std::mutex> lock(m_lock);
    class_entry(cls).sources.push_back({nullptr, instance, nullptr});
}

void service_registry::add_factories(service_factory_base* head, const void* owner) {
    std::lock_guard<std::mutex> lock(m_lock);
    for (service_factory_base* f = head; f; f = f->get_next())
        class_entry(f->get_class_guid()).sources.push_back({f, nullptr, owner});
}

void service_registry::remove_owner(const void* owner) {
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& [id, entry] : m_classes) {
        auto& s = entry->sources;
        s.erase(std::remove_if(s.begin(), s.end(), [&](const service_class::source& x) { return x.owner == owner; }),
                s.end());
    }
}

service_class_ref service_registry::find_class(const guid& cls) {
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_classes.find(cls);
    return found == m_classes.end() ? nullptr : found->second.get();
}

size_t service_registry::count(service_class_ref cls) {
    if (!cls) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    return cls->sources.size();
}

bool service_registry::create(service_base*& out, service_class_ref cls, size_t index) {
    if (!cls) return false;
    service_class::source source;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (index >= cls->sources.size()) return false;
        source = cls->sources[index];
    }
    // Created outside the lock: a factory may look services up itself.
    service_base* instance = source.factory ? source.factory->instance_create() : source.instance;
    if (!instance) return false;
    if (!source.factory) instance->service_add_ref();
    out = instance;
    return true;
}
