// Looking up the host's services by class. Callable from any thread where the
// service itself allows it.
#pragma once

#include <cstddef>
#include <vector>

#include "api/service.h"

namespace service_lookup_detail {
// Exactly one instance of `cls`: throws exception_service_not_found for none,
// exception_service_duplicated for more than one; a failed creation is a bug check.
service_base* create_exactly_one(const guid& cls);
// Instances of `cls` counted by the host, each created into the list; a failed
// creation throws exception_bug_check_v2.
std::vector<service_base*> create_all_counted(const guid& cls);
// Instance `index` of `cls`, or nullptr when the host has no such instance.
service_base* create_at(const guid& cls, size_t index);
}  // namespace service_lookup_detail

// The one instance of T's class.
template <class T>
service_ptr_t<T> lookup_exactly_one() {
    return service_ptr_t<T>::adopt(static_cast<T*>(service_lookup_detail::create_exactly_one(T::class_guid)));
}

// Every instance of T's class, created into a list first.
template <class T>
std::vector<service_ptr_t<T>> lookup_all_counted() {
    std::vector<service_ptr_t<T>> list;
    for (service_base* p : service_lookup_detail::create_all_counted(T::class_guid))
        list.push_back(service_ptr_t<T>::adopt(static_cast<T*>(p)));
    return list;
}

// Visits the instances of T's class one at a time, creating index 0, 1, 2 ... until
// the host reports no more; each is released before the next is created.
template <class T, class Visit>
void for_each_service(Visit&& visit) {
    for (size_t index = 0;; ++index) {
        service_base* p = service_lookup_detail::create_at(T::class_guid, index);
        if (!p) return;
        service_ptr_t<T> instance = service_ptr_t<T>::adopt(static_cast<T*>(p));
        visit(instance);
    }
}
