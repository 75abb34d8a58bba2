// Services: the objects that components and the host offer each other by class GUID.
// Every service object starts with the three service_base operations, in this slot
// order: release, add reference, query. A service class derives from service_base,
// names its class GUID as `class_guid` and declares its own operations after them.
// Portable: no Windows header.
#pragma once

#include <cstddef>
#include <utility>

#include "guid.h"

class service_base {
public:
    // Drops one counted reference; returns the remaining count.
    virtual int service_release() noexcept = 0;
    // Adds one counted reference; returns the new count.
    virtual int service_add_ref() noexcept = 0;
    // When the object implements the class `cls`, stores an added reference to that
    // interface in `out` and answers true; otherwise answers false and leaves `out`.
    virtual bool service_query(service_base*& out, const guid& cls) = 0;

protected:
    ~service_base() = default;
};

// A counted reference to a service of class T (T derives from service_base).
// Copying adds a reference, destruction releases one.
template <class T>
class service_ptr_t {
public:
    service_ptr_t() = default;
    service_ptr_t(std::nullptr_t) {}
    // Takes an added reference.
    explicit service_ptr_t(T* p) : m_ptr(p) {
        if (m_ptr) m_ptr->service_add_ref();
    }
    service_ptr_t(const service_ptr_t& other) : service_ptr_t(other.m_ptr) {}
    service_ptr_t(service_ptr_t&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    template <class U>
    service_ptr_t(const service_ptr_t<U>& other) : service_ptr_t(static_cast<T*>(other.get_ptr())) {}
    ~service_ptr_t() { release(); }

    service_ptr_t& operator=(service_ptr_t other) noexcept {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }

    // Adopts a reference that the caller already counted (for example from a
    // service_query or a factory), without adding another.
    static service_ptr_t adopt(T* p) {
        service_ptr_t r;
        r.m_ptr = p;
        return r;
    }
    // Gives the reference away without releasing it.
    T* detach() {
        T* p = m_ptr;
        m_ptr = nullptr;
        return p;
    }

    void release() {
        if (m_ptr) {
            T* p = m_ptr;
            m_ptr = nullptr;
            p->service_release();
        }
    }

    // Asks the object for the class U; answers the reference or none.
    template <class U>
    service_ptr_t<U> query() const {
        service_base* out = nullptr;
        if (m_ptr && m_ptr->service_query(out, U::class_guid)) return service_ptr_t<U>::adopt(static_cast<U*>(out));
        return nullptr;
    }

    T* get_ptr() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    bool is_valid() const { return m_ptr != nullptr; }
    bool is_empty() const { return m_ptr == nullptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

private:
    T* m_ptr = nullptr;
};

// Query answer for an object that implements the interfaces Ifaces...: the first
// interface whose class GUID matches is handed out with an added reference.
template <class Impl, class... Ifaces>
bool service_query_answer(Impl* self, service_base*& out, const guid& cls) {
    bool found = false;
    (void)((cls == Ifaces::class_guid
                ? (out = static_cast<service_base*>(static_cast<Ifaces*>(self)), out->service_add_ref(), found = true)
                : false) ||
           ...);
    return found;
}
