#include "service_factory.h"

namespace {
// Constant-initialised, so factories constructed during static initialisation of any
// translation unit find it ready.
service_factory_base* g_factory_list_head = nullptr;
}  // namespace

service_factory_base::service_factory_base(const guid& cls) : m_next(g_factory_list_head), m_class(cls) {
    g_factory_list_head = this;
}

service_factory_base* service_factory_list_head() { return g_factory_list_head; }
