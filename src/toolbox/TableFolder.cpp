#include "toolbox/TableFolder.h"

namespace fs = std::filesystem;

namespace brelmont::toolbox {

fs::path installedTableFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const fs::path folder = self.parent_path().parent_path() / "share" / "brelmont-companion" / "tables";
    return fs::is_directory(folder, ec) ? folder : fs::path();
}

} // namespace brelmont::toolbox
