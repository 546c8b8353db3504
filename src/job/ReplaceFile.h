// Writing a file whole: through a temporary file beside it, renamed over the target only when
// every byte arrived, so a failed write never leaves a half-written file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace brelmont::job {

// Empty on success, else why it failed (naming the file).
std::string replaceFile(const std::filesystem::path& path, const void* data, size_t size);

} // namespace brelmont::job
