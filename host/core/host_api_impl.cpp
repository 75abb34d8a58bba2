#include "host_api_impl.h"

host_api_impl::host_api_impl(service_registry& registry, std::string profile_path, bool portable, bool skip_startup)
    : m_registry(registry),
      m_profile_path(std::move(profile_path)),
      m_portable(portable),
      m_skip_startup(skip_startup),
      m_main_thread(GetCurrentThreadId()) {}
