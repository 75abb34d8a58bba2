// Host services for components' windows. Main thread.
#pragma once

#include <windows.h>

#include "service.h"

// Windows registered here get dialog keyboard handling from the host's message loop.
class modeless_dialog_manager : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{C71B99BD-12C5-48FE-A9C0-469F6FEA88BF}");

    virtual void add(HWND window) = 0;
    virtual void remove(HWND window) = 0;
};

// The host's version text, for example for help addresses.
class host_version_text : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{0C36A649-9EA0-4F48-B229-0CB2AA9AB6F4}");

    virtual const char* get_version_text() = 0;
};
