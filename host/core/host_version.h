// The version records the host reports for its own core.
#pragma once

#define VLHOST_VERSION "1.0.0"

class service_registry;

// Registers the records of vlhost.exe and shared.dll.
void register_host_version_records(service_registry& registry);
