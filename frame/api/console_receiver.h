// Console receivers: every instance gets every line printed to the console.
// May be called from any thread.
#pragma once

#include <cstddef>

#include "service.h"

class console_receiver : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{90DF5270-65BB-4DBA-BAF5-86BE9E59DC20}");

    // One UTF-8 line, without a line break; `length` bytes at `text`.
    virtual void print(const char* text, size_t length) = 0;
};
