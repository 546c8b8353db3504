#include "app/SharedFolder.h"

#include "widgets/Logging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::app {

namespace fs = std::filesystem;

SharedFolder SharedFolder::fromEnvironment() { return SharedFolder(preferences::sharedDataFolder()); }

std::vector<fs::path> SharedFolder::launchFolders() const {
    return {m_root, m_root / "DPFonts", m_root / ".lpoptions", m_root / "Patterns"};
}

std::vector<std::string> SharedFolder::createFolders() const {
    std::vector<std::string> refusals;
    for (const auto& folder : launchFolders()) {
        const sharedfolder::Opened made = sharedfolder::makeFolder(folder, 0777);
        if (made.link) refusals.push_back(made.refusal);
    }
    return refusals;
}

sharedfolder::Opened SharedFolder::openMember(const sharedfolder::Fd& root, const char* name, int flags) const {
    sharedfolder::Opened file = sharedfolder::openPlainFile(root, name, flags | O_CREAT, 0666, m_root / name);
    // Readable and writable by the driver, whoever it runs as; a file of another user keeps its mode.
    struct stat st {};
    if (file.fd && ::fstat(file.fd.get(), &st) == 0 && st.st_uid == ::geteuid()) sharedfolder::setMode(file.fd, 0666);
    return file;
}

std::string SharedFolder::truncateLockFile() const {
    const sharedfolder::Opened root = openRoot();
    const sharedfolder::Opened lock = root.fd ? openMember(root.fd, LockName, O_WRONLY) : sharedfolder::Opened{};
    if (lock.fd && ::ftruncate(lock.fd.get(), 0) == 0) return {};
    const sharedfolder::Opened& failed = root.fd ? lock : root;
    if (failed.link) return failed.refusal;
    // A folder that cannot be made yet (no right to make it) is tried again at the next tick.
    qCInfo(lcApp, "%s", failed.refusal.empty() ? "the request file could not be emptied" : failed.refusal.c_str());
    return {};
}

} // namespace brelmont::app
