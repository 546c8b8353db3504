#include "job/JobFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::job {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string tooLarge(const std::filesystem::path& path, int64_t limit) {
    return path.string() + ": larger than the " + std::to_string(limit) + " bytes a job may have";
}

} // namespace

std::string readJobFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, int64_t limit, int pipeWaitMs) {
    bytes.clear();
    // Without O_NONBLOCK, opening a pipe that no one writes to would wait for ever.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return path.string() + ": " + std::strerror(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return path.string() + ": " + std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return path.string() + ": " + std::strerror(EISDIR);
    if (S_ISREG(info.st_mode) && info.st_size > limit) return tooLarge(path, limit);
    // A pipe whose writer has not come yet reads as ended: wait (a while) for its first bytes.
    if (S_ISFIFO(info.st_mode)) {
        pollfd ready{fd.get(), POLLIN, 0};
        int n = 0;
        while ((n = ::poll(&ready, 1, pipeWaitMs)) < 0 && errno == EINTR) {}
        if (n == 0) return path.string() + ": nothing came through the pipe within " + std::to_string(pipeWaitMs) + " ms";
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);

    // A regular file is read to its size, into room made in advance, then to its end (it may have
    // grown meanwhile); a pipe or a device in blocks.
    constexpr size_t Block = size_t(1) << 16;
    const size_t expected = S_ISREG(info.st_mode) ? size_t(info.st_size) : 0;
    // A stream of unknown length gets room for the whole limit at once: only the pages it fills
    // are used, and it never moves (a move holds the old and the new room together).
    try {
        bytes.reserve(S_ISREG(info.st_mode) ? expected + Block : size_t(limit) + Block);
    } catch (const std::bad_alloc&) { bytes.reserve(expected + Block); }
    for (;;) {
        const size_t have = bytes.size();
        if (int64_t(have) > limit) {
            bytes = {};
            return tooLarge(path, limit);
        }
        const size_t want = have < expected ? expected - have : Block;
        bytes.resize(have + want);
        const ssize_t n = ::read(fd.get(), bytes.data() + have, want);
        const int error = errno;
        bytes.resize(have + size_t(std::max<ssize_t>(n, 0)));
        if (n < 0 && error == EINTR) continue;
        if (n < 0) {
            bytes = {};
            return path.string() + ": " + std::strerror(error);
        }
        if (n == 0) break;
    }
    return {};
}

} // namespace brelmont::job
