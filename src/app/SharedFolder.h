// The shared data folder that the printer driver and the application both use, and its fixed
// members. The root is "/Users/Shared/Brelmont" unless BRELMONT_SHARED_DIR names another. Other
// users write there too, so nothing in it is opened through a link (sharedfolder/SafeFiles.h).
#pragma once

#include "preferences/SharedDataFolder.h"
#include "sharedfolder/SafeFiles.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::app {

class SharedFolder {
public:
    static constexpr const char* DefaultRoot = preferences::SharedDataFolderDefault;
    static constexpr const char* RootVariable = preferences::SharedDataFolderVariable;
    static constexpr const char* LockName = ".preview.lock";
    static constexpr const char* PreviewJobName = ".preview.kprn";

    explicit SharedFolder(std::filesystem::path root) : m_root(std::move(root)) {}
    static SharedFolder fromEnvironment();

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path lockFile() const { return m_root / LockName; }
    std::filesystem::path previewJob() const { return m_root / PreviewJobName; }
    // The folders made at launch, in the order they are made.
    std::vector<std::filesystem::path> launchFolders() const;

    // Makes each launch folder where nothing exists at its path (default attributes); returns why
    // a folder could not be used where a link stands in its place. Other failures wait for later.
    std::vector<std::string> createFolders() const;
    // Opens the root; a link there is refused.
    sharedfolder::Opened openRoot() const { return sharedfolder::openFolder(m_root); }
    // A member file made (0666 on its descriptor) or opened, never through a link.
    sharedfolder::Opened openMember(const sharedfolder::Fd& root, const char* name, int flags) const;
    // Empties the request file (made if missing, 0666): an old request is gone. A link standing
    // for the folder or the file is refused and left alone: the refusal is returned. Other failures
    // (a folder that cannot be made) are only logged; the hand-off tries again at each tick.
    std::string truncateLockFile() const;

private:
    std::filesystem::path m_root;
};

} // namespace brelmont::app
