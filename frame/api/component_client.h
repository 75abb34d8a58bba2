// The client object through which the host drives a loaded component, and the one
// export that hands it over. Operations are called on the host's main thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "io.h"

class host_api;
class service_factory_base;

class component_client {
public:
    // The client interface version the component was built for.
    virtual uint32_t get_version() = 0;
    // Head of the component's factory list (see frame/service_factory.h).
    virtual service_factory_base* get_service_list() = 0;
    // Writes every configuration variable to the stream.
    virtual void get_config(vellora_io::stream_writer* stream, abort_callback& abort) = 0;
    // Reads configuration variables back from a stream written by get_config.
    virtual void set_config(vellora_io::stream_reader* stream, abort_callback& abort) = 0;
    // The component's library path and file name, both UTF-8.
    virtual void set_library_path(const char* path, const char* name) = 0;
    virtual void services_init(bool initialised) = 0;
    virtual bool is_debug() = 0;

protected:
    ~component_client() = default;
};

// The client interface versions this system knows.
constexpr uint32_t component_client_version_upkeep = 76;
constexpr uint32_t component_client_version_porter = 72;

// The one export of every component, looked up by this name.
#define VELLORA_ENTRY_NAME "vellora_get_interface"
extern "C" typedef component_client* (*vellora_get_interface_fn)(host_api* api, HINSTANCE module);
