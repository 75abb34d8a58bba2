// The host's file system for local paths: drive and UNC paths, plain or as "file://".
#pragma once

#include <string>

#include "frame/api/filesystem.h"

class local_filesystem : public filesystem {
public:
    bool is_our_path(const char* path) override;
    bool get_canonical_path(const char* path, string_sink& out) override;
    bool get_display_path(const char* path, string_sink& out) override;
    service_ptr_t<vellora_io::file> open(const char* path, open_mode mode, abort_callback& abort) override;
};

// The Windows path of a local path ("file://" removed); empty when it is not local.
std::string local_path_of(const std::string& path);
