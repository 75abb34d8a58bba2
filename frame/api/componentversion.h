// The version record of a loaded component, as the host lists it. Each operation
// sets the UTF-8 text of `out`.
#pragma once

#include "service.h"
#include "string_sink.h"

class componentversion : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{10BB3EBD-DDF7-4975-A3CC-23084829453E}");

    virtual void get_file_name(string_sink& out) = 0;
    virtual void get_component_name(string_sink& out) = 0;
    virtual void get_component_version(string_sink& out) = 0;
    virtual void get_about_message(string_sink& out) = 0;
};

// Lets the host ask a component whether it was loaded from the file it expects.
class component_file_check : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{0639283E-3004-4E5C-B1B3-6DFF08A79284}");

    // True when the file-name part of `library_path` is the component's expected name.
    virtual bool is_file_name_valid(const char* library_path) = 0;
};
