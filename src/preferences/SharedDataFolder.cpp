#include "preferences/SharedDataFolder.h"

#include <cstdlib>

namespace brelmont::preferences {

std::filesystem::path sharedDataFolder() {
    const char* root = std::getenv(SharedDataFolderVariable);
    return root && *root ? std::filesystem::path(root) : std::filesystem::path(SharedDataFolderDefault);
}

} // namespace brelmont::preferences
