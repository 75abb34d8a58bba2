// The host's registry of service classes: the instances that the host itself offers
// and the factories of every loaded component, in registration order. Changed only on
// the main thread while components load and unload; lookups may come from any thread.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "frame/api/host_api.h"
#include "frame/api/service_factory.h"

struct service_class {
    // One instance source: a component's factory, or an object the host owns.
    struct source {
        service_factory_base* factory;
        service_base* instance;
        const void* owner;
    };
    guid id;
    std::vector<source> sources;
};

class service_registry {
public:
    // Registers an object the host owns (it must outlive the registry's use of it).
    void add_instance(const guid& cls, service_base* instance);
    // Registers every factory of a component's list, walking from the head.
    void add_factories(service_factory_base* head, const void* owner);
    // Forgets every factory registered with `owner`.
    void remove_owner(const void* owner);

    service_class_ref find_class(const guid& cls);
    size_t count(service_class_ref cls);
    // Creates instance `index`; false when there is none or the factory handed out none.
    bool create(service_base*& out, service_class_ref cls, size_t index);

    // Every instance of T's class, in registration order.
    template <class T>
    std::vector<service_ptr_t<T>> all_of() {
        std::vector<service_ptr_t<T>> list;
        service_class_ref cls = find_class(T::class_guid);
        for (size_t i = 0, n = count(cls); i < n; ++i) {
            service_base* out = nullptr;
            if (create(out, cls, i)) list.push_back(service_ptr_t<T>::adopt(static_cast<T*>(out)));
        }
        return list;
    }

private:
    service_class& class_entry(const guid& cls);

    std::mutex m_lock;
    std::map<guid, std::unique_ptr<service_class>, guid_memory_less> m_classes;
};
