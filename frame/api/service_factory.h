// The factory list through which a component offers its services. The host walks
// the list from component_client::get_service_list(); each factory creates the
// instance of one class. Portable: no Windows header.
#pragma once

#include "service.h"

class service_factory_base {
public:
    // Creates the instance; the caller owns the counted reference it returns.
    virtual service_base* instance_create() = 0;

    service_factory_base* get_next() const { return m_next; }
    const guid& get_class_guid() const { return m_class; }

    service_factory_base(const service_factory_base&) = delete;
    service_factory_base& operator=(const service_factory_base&) = delete;

protected:
    // Pushes the factory at the head of the module's list (frame/service_factory.cpp).
    explicit service_factory_base(const guid& cls);
    ~service_factory_base() = default;

private:
    service_factory_base* m_next;
    guid m_class;
};
