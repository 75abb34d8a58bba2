// Offered services are single static instances held in their factories; their
// reference operations do nothing and report 1, since they live as long as the module.
#pragma once

#include <tuple>
#include <type_traits>
#include <utility>

#include "api/service_factory.h"

// Head of this module's factory list; the last constructed factory comes first.
service_factory_base* service_factory_list_head();

// A service implementation `Impl` made into a static single instance. `Ifaces` are the
// service classes the object answers queries for; by default the one class Impl names
// as its class_guid.
template <class Impl, class... Ifaces>
class service_impl_single_t final : public Impl {
public:
    template <class... Args>
    explicit service_impl_single_t(Args&&... args) : Impl(std::forward<Args>(args)...) {}

    int service_release() noexcept override { return 1; }
    int service_add_ref() noexcept override { return 1; }
    bool service_query(service_base*& out, const guid& cls) override {
        if constexpr (sizeof...(Ifaces) == 0)
            return service_query_answer<Impl, Impl>(this, out, cls);
        else
            return service_query_answer<Impl, Ifaces...>(this, out, cls);
    }
};

// Offers one static instance of `Impl` under the class of its first interface (Impl's
// own class_guid when no interfaces are named).
template <class Impl, class... Ifaces>
class service_factory_single_t final : public service_factory_base {
    using primary = std::conditional_t<sizeof...(Ifaces) == 0, Impl, std::tuple_element_t<0, std::tuple<Ifaces..., void>>>;

public:
    template <class... Args>
    explicit service_factory_single_t(Args&&... args)
        : service_factory_base(primary::class_guid), m_instance(std::forward<Args>(args)...) {}

    service_base* instance_create() override {
        service_base* p = static_cast<primary*>(&m_instance);
        p->service_add_ref();
        return p;
    }
    Impl& get_static_instance() { return m_instance; }

private:
    service_impl_single_t<Impl, Ifaces...> m_instance;
};

// A factory that is itself the service instance (Impl's class_guid).
template <class Impl>
class service_factory_single_transparent_t : public service_factory_base, public Impl {
public:
    template <class... Args>
    explicit service_factory_single_transparent_t(Args&&... args)
        : service_factory_base(Impl::class_guid), Impl(std::forward<Args>(args)...) {}

    int service_release() noexcept override { return 1; }
    int service_add_ref() noexcept override { return 1; }
    bool service_query(service_base*& out, const guid& cls) override {
        return service_query_answer<Impl, Impl>(static_cast<Impl*>(this), out, cls);
    }
    service_base* instance_create() override {
        service_base* p = static_cast<Impl*>(this);
        p->service_add_ref();
        return p;
    }
};

// Offers an instance that lives elsewhere (for example one object offered under two
// classes) under the class of its interface Iface.
template <class Iface>
class service_factory_instance_t final : public service_factory_base {
public:
    explicit service_factory_instance_t(Iface& instance)
        : service_factory_base(Iface::class_guid), m_instance(instance) {}

    service_base* instance_create() override {
        service_base* p = static_cast<service_base*>(&m_instance);
        p->service_add_ref();
        return p;
    }

private:
    Iface& m_instance;
};
