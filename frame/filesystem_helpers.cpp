#include "filesystem_helpers.h"

#include "api/shared.h"
#include "service_lookup.h"

namespace filesystem_helpers {

service_ptr_t<vellora_io::file> g_open(const char* path, filesystem::open_mode mode, abort_callback& abort) {
    uCallStackTracker marker("filesystem::g_open");
    service_ptr_t<filesystem> owner;
    for_each_service<filesystem>([&](service_ptr_t<filesystem>& fs) {
        if (!owner && fs->is_our_path(path)) owner = fs;
    });
    if (!owner) throw vellora_io::exception_io_no_handler_for_path();
    return owner->open(path, mode, abort);
}

}  // namespace filesystem_helpers
