// Services made on the heap: counted with interlocked operations, deleted when the
// last reference goes. Impl derives from the service classes it implements.
#pragma once

#include <atomic>
#include <utility>

#include "api/service.h"

template <class Impl, class... Ifaces>
class service_impl_t final : public Impl {
public:
    template <class... Args>
    explicit service_impl_t(Args&&... args) : Impl(std::forward<Args>(args)...) {}

    int service_add_ref() noexcept override { return ++m_count; }
    int service_release() noexcept override {
        int left = --m_count;
        if (left == 0) delete this;
        return left;
    }
    bool service_query(service_base*& out, const guid& cls) override {
        if constexpr (sizeof...(Ifaces) == 0)
            return service_query_answer<Impl, Impl>(this, out, cls);
        else
            return service_query_answer<Impl, Ifaces...>(this, out, cls);
    }

private:
    std::atomic<int> m_count{0};
};

// A new counted object of Impl, answering queries for Ifaces (default: Impl's class),
// held through a reference to T.
template <class T, class Impl, class... Ifaces, class... Args>
service_ptr_t<T> service_new(Args&&... args) {
    return service_ptr_t<T>(static_cast<T*>(new service_impl_t<Impl, Ifaces...>(std::forward<Args>(args)...)));
}
