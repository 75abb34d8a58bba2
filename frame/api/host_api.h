// The host interface object that a component receives at entry, with the operations
// components use, in their slot order. The object lives as long as the process; it is
// never released. Unless stated otherwise its operations may be called from any thread.
#pragma once

#include <windows.h>

#include <cstddef>

#include "service.h"

// Opaque handle of a service class known to the host; nullptr for an unknown class.
struct service_class;
using service_class_ref = service_class*;

class host_api {
public:
    virtual service_class_ref service_enum_find_class(const guid& cls) = 0;
    // Creates instance `index` of the class; on success stores a counted reference in
    // `out` and answers true; answers false when there is no such instance.
    virtual bool service_enum_create(service_base*& out, service_class_ref cls, size_t index) = 0;
    virtual size_t service_enum_get_count(service_class_ref cls) = 0;
    virtual HWND get_main_window() = 0;
    virtual bool is_main_thread() = 0;
    // The profile folder as a "file://" path, ending with a path separator.
    virtual const char* get_profile_path() = 0;
    virtual bool is_portable_mode_enabled() = 0;
    // Set when the host wants components to skip their start-up work.
    virtual bool is_skip_startup_enabled() = 0;

protected:
    ~host_api() = default;
};
