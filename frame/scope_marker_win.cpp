#include <new>

#include "api/shared.h"
#include "scope_marker.h"

static_assert(sizeof(uCallStackTracker) <= sizeof(void*) * 2, "scope_marker storage too small");

scope_marker::scope_marker(const char* label) { new (m_storage) uCallStackTracker(label); }
scope_marker::~scope_marker() { reinterpret_cast<uCallStackTracker*>(m_storage)->~uCallStackTracker(); }
