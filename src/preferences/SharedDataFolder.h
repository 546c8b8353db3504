// The shared data folder that the driver and the program both use, without the window layer:
// "/Users/Shared/Brelmont" unless BRELMONT_SHARED_DIR names another.
#pragma once

#include <filesystem>

namespace brelmont::preferences {

constexpr const char* SharedDataFolderDefault = "/Users/Shared/Brelmont";
constexpr const char* SharedDataFolderVariable = "BRELMONT_SHARED_DIR";

std::filesystem::path sharedDataFolder();

} // namespace brelmont::preferences
