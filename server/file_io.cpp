#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error("cannot " + what + " " + path + ": " + std::strerror(error));
}

void write_all_and_close(int fd, const std::string& path, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = n < 0 ? errno : EIO;
            ::close(fd);
            fail("write", path, error);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        fail("write", path, error);
    }
    if (::close(fd) != 0) fail("write", path, errno);
}

}  // namespace

bool file_exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("read", path, errno);
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad()) fail("read", path, errno);
    return data.str();
}

void write_new_file(const std::string& path, const std::string& data, mode_t mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) fail("create", path, errno);
    write_all_and_close(fd, path, data);
}

void replace_file(const std::string& path, const std::string& data) {
    std::string temporary = path + ".tmp-XXXXXX";
    int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) fail("create", temporary, errno);
    ::fchmod(fd, 0644);
    try {
        write_all_and_close(fd, temporary, data);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        fail("replace", path, error);
    }
}
