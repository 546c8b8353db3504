#include "cli/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace brelmont::cli {

namespace {

// 0 when every byte was written and the file closed cleanly, else the errno of the failure.
int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        data += n, size -= size_t(n);
    }
    return 0;
}

} // namespace

bool writeOutputFile(const std::filesystem::path& path, const void* data, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    int error = fd < 0 ? errno : writeAll(fd, static_cast<const char*>(data), size);
    if (fd >= 0 && ::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) return true;
    if (fd >= 0) ::unlink(path.c_str());
    std::cerr << "brelmont-cli: cannot write " << path.string() << ": " << std::strerror(error) << '\n';
    return false;
}

bool flushStandardOutput() {
    if (std::cout.flush()) return true;
    std::cerr << "brelmont-cli: cannot write standard output\n";
    return false;
}

} // namespace brelmont::cli
