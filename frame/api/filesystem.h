// File systems: each claims the paths it handles. Any thread.
#pragma once

#include "io.h"
#include "service.h"
#include "string_sink.h"

namespace vellora_io {

// An open file: read and written as a stream.
class file : public service_base, public stream_reader, public stream_writer {
public:
    static constexpr guid class_guid = guid::parse("{6B5F6E2A-3D14-4C8E-9A72-0E51C4B8D3A7}");
};

}  // namespace vellora_io

class filesystem : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{2FBCE1E5-902E-49E0-B9CF-CE0FBA765348}");

    enum open_mode { open_mode_read = 0, open_mode_write_existing = 1, open_mode_write_new = 2 };

    virtual bool is_our_path(const char* path) = 0;
    // The path in its canonical form; false when this file system has none.
    virtual bool get_canonical_path(const char* path, string_sink& out) = 0;
    // The path as the user should see it; false when this file system has none.
    virtual bool get_display_path(const char* path, string_sink& out) = 0;
    // Opens the file; write_new creates it, replacing an existing one. Failures are
    // vellora_io exceptions.
    virtual service_ptr_t<vellora_io::file> open(const char* path, open_mode mode, abort_callback& abort) = 0;
};
