// A temporary folder of its own for one test, removed with everything in it when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace brelmont::testing {

class ScratchDir {
public:
    // A new folder "brelmont-NAME-XXXXXX" in the temporary folder, unique even within one process.
    explicit ScratchDir(const std::string& name = "test") {
        std::string pattern = (std::filesystem::temp_directory_path() / ("brelmont-" + name + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace brelmont::testing
