#include "preferences/SharedDataFolder.h"

#include <cstdlib>

namespace brelmont::preferences {

std::filesystem::path sharedDataFolder() {
    const char* root = std::getenv("BRELMONT_SHARED_DIR");
    return root && *root ? std::filesystem::path(root) : std::filesystem::path("/Users/Shared/Brelmont");
}

} // namespace brelmont::preferences
