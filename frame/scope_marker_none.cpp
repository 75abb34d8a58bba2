// Native builds have no crash-report path to mark.
#include "scope_marker.h"

scope_marker::scope_marker(const char*) : m_storage{} {}
scope_marker::~scope_marker() = default;
