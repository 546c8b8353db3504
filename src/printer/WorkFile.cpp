#include "printer/WorkFile.h"

#include "printer/PjlHelper.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <unistd.h>

namespace brelmont::printer {

namespace {

// The paths of the work files alive now, for removeAll.
std::mutex& liveMutex() {
    static std::mutex* const mutex = new std::mutex; // never destroyed: a signal may come at exit
    return *mutex;
}
std::set<std::string>& live() {
    static std::set<std::string>* const paths = new std::set<std::string>;
    return *paths;
}

} // namespace

void WorkFile::removeAll() {
    const std::lock_guard lock(liveMutex());
    for (const std::string& path : live()) unlink(path.c_str());
    live().clear();
}

WorkFile::WorkFile(const std::string& stem, const void* data, std::size_t size) {
    const std::filesystem::path dir = PjlHelper::workDir();
    if (dir.empty()) {
        m_error = "no private work folder in the temporary folder";
        return;
    }
    std::string name = (dir / (stem + "-XXXXXX")).string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        m_error = name + ": " + std::strerror(errno);
        return;
    }
    m_path = name;
    {
        const std::lock_guard lock(liveMutex());
        live().insert(name);
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_error = m_path.string() + ": " + std::strerror(n < 0 ? errno : ENOSPC);
            break;
        }
        bytes += n;
        size -= std::size_t(n);
    }
    if (close(fd) != 0 && m_error.empty()) m_error = m_path.string() + ": " + std::strerror(errno);
}

WorkFile::~WorkFile() {
    if (m_path.empty()) return;
    const std::lock_guard lock(liveMutex());
    live().erase(m_path.string());
    unlink(m_path.c_str());
}

} // namespace brelmont::printer
