// Running work on the host's main thread: any thread queues a callback object with
// the manager; the host later calls its callback_run on the main thread and then
// releases it.
#pragma once

#include "service.h"

class main_thread_callback : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{87D2C583-7AFB-4E58-B21E-FBD3E6E8F5E7}");

    virtual void callback_run() = 0;
};

class main_thread_callback_manager : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{1131D64B-04CB-43EE-95EB-24D18B753248}");

    // Takes its own reference to the callback until it has run. Any thread.
    virtual void add_callback(main_thread_callback* callback) = 0;
};
