// Start/stop hooks: the host calls on_init of every hook once the components are
// loaded, and on_quit of every hook when it begins to shut down. Main thread.
#pragma once

#include "service.h"

class initquit : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{113773C4-B387-4B48-8BDF-AB58BC6CE538}");

    virtual void on_init() = 0;
    virtual void on_quit() = 0;
};
