#include "sharedfolder/SafeFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::sharedfolder {

namespace fs = std::filesystem;

Fd::~Fd() {
    if (m_fd >= 0) ::close(m_fd);
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

namespace {

Opened refused(std::string why, bool link = false) {
    Opened opened;
    opened.refusal = std::move(why);
    opened.link = link;
    return opened;
}

std::string systemError(const fs::path& path, int error) { return path.string() + ": " + std::strerror(error); }

bool isLinkAt(int folder, const char* name) {
    struct stat st {};
    return ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

// A name for a file being written, unlikely to exist; O_EXCL settles it.
std::string freshName(const std::string& base) {
    static thread_local std::mt19937 random(std::random_device{}());
    return "." + base + "." + std::to_string(random() % 1000000000u) + ".new";
}

} // namespace

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

std::string linkRefusal(const fs::path& path, bool folder) {
    return path.string() + " is a symbolic link where the program keeps a " + (folder ? "folder" : "file") +
           " of its own; it was left alone and not used. If you did not make it, remove it.";
}

Opened openFolder(const fs::path& path) {
    Opened opened;
    opened.fd = Fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (opened.fd) return opened;
    const int error = errno;
    if (fs::is_symlink(fs::symlink_status(path))) return refused(linkRefusal(path, true), true);
    if (error == ENOTDIR) return refused(path.string() + " is not a folder");
    return refused(systemError(path, error));
}

Opened makeFolder(const fs::path& path, mode_t mode) {
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() == fs::file_type::not_found) {
        fs::create_directories(path.parent_path(), ec);
        ::mkdir(path.c_str(), mode);
    }
    return openFolder(path);
}

Opened openPlainFile(const Fd& folder, const std::string& name, int flags, mode_t mode, const fs::path& shown) {
    // Without O_CREAT a new file cannot appear; with it, O_EXCL first tells whether we made it.
    Opened opened;
    bool made = false;
    const int base = (flags & ~O_CREAT & ~O_EXCL) | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    if (flags & O_CREAT) {
        opened.fd = Fd(::openat(folder.get(), name.c_str(), base | O_CREAT | O_EXCL, mode));
        made = bool(opened.fd);
    }
    if (!opened.fd) opened.fd = Fd(::openat(folder.get(), name.c_str(), base));
    if (!opened.fd) {
        const int error = errno;
        if (error == ELOOP || isLinkAt(folder.get(), name.c_str())) return refused(linkRefusal(shown), true);
        return refused(systemError(shown, error));
    }
    struct stat st {};
    if (::fstat(opened.fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return refused(shown.string() + " is not a plain file; it was left alone and not used.");
    // Blocking reads and writes from here on (O_NONBLOCK only kept a planted FIFO from hanging us).
    ::fcntl(opened.fd.get(), F_SETFL, ::fcntl(opened.fd.get(), F_GETFL) & ~O_NONBLOCK);
    if (made) ::fchmod(opened.fd.get(), mode);
    return opened;
}

bool setMode(const Fd& file, mode_t mode) { return ::fchmod(file.get(), mode) == 0; }

std::string readAll(const Fd& file, std::string* error, int64_t maxBytes) {
    const auto tooLarge = [&] {
        if (error) *error = "larger than " + std::to_string(maxBytes) + " bytes";
        return std::string();
    };
    struct stat info {};
    if (::fstat(file.get(), &info) == 0 && info.st_size > maxBytes) return tooLarge();
    std::string bytes;
    char buffer[64 * 1024];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(file.get(), buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = std::strerror(errno);
            return {};
        }
        if (n == 0) return bytes;
        if (int64_t(bytes.size()) + n > maxBytes) return tooLarge();
        bytes.append(buffer, size_t(n));
        at += n;
    }
}

std::string replaceFile(const Fd& folder, const std::string& name, std::string_view bytes, mode_t mode) {
    const std::string temporary = freshName(name);
    Fd fd(::openat(folder.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) return name + ": " + std::strerror(errno);
    bool complete = writeAll(fd.get(), bytes) && ::fchmod(fd.get(), mode) == 0;
    const int error = complete ? 0 : errno;
    fd = Fd();
    if (!complete || ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0) {
        const int renameError = complete ? errno : error;
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return name + ": " + std::strerror(renameError);
    }
    return {};
}

std::string copyFile(const Fd& folder, const std::string& from, const std::string& to, mode_t mode, const fs::path& folderPath,
                     int64_t maxBytes) {
    const Opened source = openPlainFile(folder, from, O_RDONLY, 0, folderPath / from);
    if (!source.fd) return source.refusal;
    const std::string tooLarge = (folderPath / from).string() + ": larger than " + std::to_string(maxBytes) + " bytes";
    struct stat info {};
    if (::fstat(source.fd.get(), &info) != 0) return (folderPath / from).string() + ": " + std::strerror(errno);
    if (info.st_size > maxBytes) return tooLarge;
    const Opened target = openPlainFile(folder, to, O_WRONLY | O_CREAT | O_TRUNC, mode, folderPath / to);
    if (!target.fd) return target.refusal;
    std::string failed;
    char buffer[64 * 1024];
    for (int64_t copied = 0; failed.empty();) {
        const ssize_t n = ::read(source.fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = (folderPath / from).string() + ": " + std::strerror(errno);
        else if (n == 0) break;
        else if ((copied += n) > maxBytes) failed = tooLarge;
        else if (!writeAll(target.fd.get(), std::string_view(buffer, size_t(n))))
            failed = (folderPath / to).string() + ": " + std::strerror(errno);
    }
    if (!failed.empty()) ::unlinkat(folder.get(), to.c_str(), 0);
    return failed;
}

} // namespace brelmont::sharedfolder
