#include "local_filesystem.h"

#include <windows.h>

#include "frame/service_impl.h"
#include "frame/utf16.h"
#include "frame/win32_handles.h"

namespace {

constexpr char kFilePrefix[] = "file://";

std::string system_text(DWORD code) { return exception_win32(code).what(); }

class local_file : public vellora_io::file {
public:
    local_file(file_handle_t handle, std::string path) : m_handle(std::move(handle)), m_path(std::move(path)) {}

    size_t read(void* buffer, size_t bytes, abort_callback& abort) override {
        abort.check();
        auto* out = static_cast<unsigned char*>(buffer);
        size_t done = 0;
        while (done < bytes) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30)), got = 0;
            if (!ReadFile(m_handle.get(), out + done, chunk, &got, nullptr)) fail("Could not read");
            if (got == 0) break;
            done += got;
        }
        return done;
    }
    void write(const void* buffer, size_t bytes, abort_callback& abort) override {
        abort.check();
        auto* in = static_cast<const unsigned char*>(buffer);
        while (bytes > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes, 1u << 30)), written = 0;
            if (!WriteFile(m_handle.get(), in, chunk, &written, nullptr) || written == 0) fail("Could not write");
            in += written;
            bytes -= written;
        }
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw vellora_io::exception_io(std::string(what) + " " + m_path + ": " + system_text(GetLastError()));
    }

    file_handle_t m_handle;
    std::string m_path;
};

bool is_drive_path(const std::string& p) {
    return p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':' &&
           (p[2] == '\\' || p[2] == '/');
}
bool is_unc_path(const std::string& p) { return p.size() > 2 && p[0] == '\\' && p[1] == '\\'; }

}  // namespace

std::string local_path_of(const std::string& path) {
    std::string p = path.compare(0, sizeof kFilePrefix - 1, kFilePrefix) == 0 ? path.substr(sizeof kFilePrefix - 1) : path;
    return is_drive_path(p) || is_unc_path(p) ? p : std::string();
}

bool local_filesystem::is_our_path(const char* path) { return !local_path_of(path).empty(); }

bool local_filesystem::get_canonical_path(const char* path, string_sink& out) {
    std::string local = local_path_of(path);
    if (local.empty()) return false;
    std::wstring wide = utf8_to_wide(local);
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 4, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH * 4) return false;
    out.set_string(std::string(kFilePrefix) + wide_to_utf8(std::wstring_view(buffer, n)));
    return true;
}

bool local_filesystem::get_display_path(const char* path, string_sink& out) {
    std::string local = local_path_of(path);
    if (local.empty()) return false;
    out.set_string(local);
    return true;
}

service_ptr_t<vellora_io::file> local_filesystem::open(const char* path, open_mode mode, abort_callback& abort) {
    abort.check();
    std::string local = local_path_of(path);
    if (local.empty()) throw vellora_io::exception_io_no_handler_for_path();
    DWORD access = mode == open_mode_read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = mode == open_mode_write_new ? CREATE_ALWAYS : OPEN_EXISTING;
    file_handle_t handle(CreateFileW(utf8_to_wide(local).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) throw vellora_io::exception_io("Could not open " + local + ": " + system_text(GetLastError()));
    return service_new<vellora_io::file, local_file>(std::move(handle), local);
}
