#include "app/SharedFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace brelmont::app {

SharedFolder SharedFolder::fromEnvironment() {
    return SharedFolder(preferences::sharedDataFolder());
}

std::vector<std::filesystem::path> SharedFolder::launchFolders() const {
    return {m_root, m_root / "DPFonts", m_root / ".lpoptions", m_root / "Patterns"};
}

void SharedFolder::createFolders() const {
    for (const auto& folder : launchFolders()) {
        std::error_code ec;
        if (std::filesystem::symlink_status(folder, ec).type() != std::filesystem::file_type::not_found) continue;
        std::filesystem::create_directories(folder, ec);
    }
}

bool SharedFolder::truncateLockFile() const {
    const int fd = ::open(lockFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

} // namespace brelmont::app
