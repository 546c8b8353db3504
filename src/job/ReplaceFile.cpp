#include "job/ReplaceFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace brelmont::job {

std::string replaceFile(const std::filesystem::path& path, const void* data, size_t size) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return temporary.string() + ": " + std::strerror(errno);
        out.write(static_cast<const char*>(data), std::streamsize(size));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return path.string() + ": write failed";
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return path.string() + ": " + ec.message();
    }
    return {};
}

} // namespace brelmont::job
