// Where the braille table files that come with the program are.
#pragma once

#include <filesystem>

namespace brelmont::toolbox {

// share/brelmont-companion/tables beside the running program's own folder: where an install puts
// them, and where the build copies them. Empty when there is no such folder.
std::filesystem::path installedTableFolder();

} // namespace brelmont::toolbox
