// What the host hands a component at entry and through its client object, kept
// process-wide for the module's lifetime. Set on the host's main thread; readable
// from any thread once set.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "api/component_client.h"
#include "api/host_api.h"

// Facts that differ between the components that link this frame; each component
// defines `g_component_profile` once.
struct component_profile {
    // Client interface version reported to the host.
    uint32_t client_version;
    // A failed creation in an exactly-one lookup throws exception_bug_check_v2 (with
    // the call-stack path) instead of the plain exception_bug_check.
    bool bug_check_with_path;
    // Called when the host reports services uninitialised, while they still are: the
    // last moment to finish work on other threads before the module may be unloaded.
    // May be nullptr.
    void (*on_services_ending)();
};
extern const component_profile g_component_profile;

namespace component {

host_api* api();
HINSTANCE module_handle();
// Library path and file name as the host passed them (UTF-8).
const std::string& library_path();
const std::string& library_file_name();
// True between the host's services-initialised(true) and (false) calls.
bool services_initialised();

}  // namespace component
