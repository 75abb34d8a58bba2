// Version records and the file-name check that components offer to the host.
#pragma once

#include <string>

#include "api/componentversion.h"
#include "service_factory.h"

// A version record from three fixed texts; the file name is the library file name
// the host passed in.
class componentversion_impl_simple : public componentversion {
public:
    componentversion_impl_simple(const char* name, const char* version, const char* about)
        : m_name(name), m_version(version), m_about(about) {}

    void get_file_name(string_sink& out) override;
    void get_component_name(string_sink& out) override { out.set_string(m_name); }
    void get_component_version(string_sink& out) override { out.set_string(m_version); }
    void get_about_message(string_sink& out) override { out.set_string(m_about); }

private:
    const char* m_name;
    const char* m_version;
    const char* m_about;
};

// Registers a componentversion_impl_simple at static construction.
class componentversion_impl_simple_factory final
    : public service_factory_single_transparent_t<componentversion_impl_simple> {
public:
    componentversion_impl_simple_factory(const char* name, const char* version, const char* about)
        : service_factory_single_transparent_t(name, version, about) {}
};

// Answers whether the host loaded the component from the file it expects: the
// file-name part of the path must equal the expected name byte for byte.
class component_file_check_impl : public component_file_check {
public:
    explicit component_file_check_impl(const char* expected_name) : m_expected(expected_name) {}
    bool is_file_name_valid(const char* library_path) override;

private:
    const char* m_expected;
};
