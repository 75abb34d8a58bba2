// Looking file systems up by path.
#pragma once

#include "api/filesystem.h"

namespace filesystem_helpers {

// Opens `path` through the first file system that claims it; none throws
// vellora_io::exception_io_no_handler_for_path. Scope marker "filesystem::g_open".
service_ptr_t<vellora_io::file> g_open(const char* path, filesystem::open_mode mode, abort_callback& abort);

}  // namespace filesystem_helpers
