// The shared data folder that the printer driver and the application both use, and its fixed
// members. The root is "/Users/Shared/Brelmont" unless BRELMONT_SHARED_DIR names another.
#pragma once

#include "preferences/SharedDataFolder.h"

#include <filesystem>
#include <vector>

namespace brelmont::app {

class SharedFolder {
public:
    static constexpr const char* DefaultRoot = preferences::SharedDataFolderDefault;
    static constexpr const char* RootVariable = preferences::SharedDataFolderVariable;

    explicit SharedFolder(std::filesystem::path root) : m_root(std::move(root)) {}
    static SharedFolder fromEnvironment();

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path lockFile() const { return m_root / ".preview.lock"; }
    std::filesystem::path previewJob() const { return m_root / ".preview.kprn"; }
    // The folders made at launch, in the order they are made.
    std::vector<std::filesystem::path> launchFolders() const;

    // Makes each launch folder where nothing exists at its path; failures are left for later.
    void createFolders() const;
    // Opens the request file with create and truncate (0666) and closes it: an old request is gone.
    bool truncateLockFile() const;

private:
    std::filesystem::path m_root;
};

} // namespace brelmont::app
