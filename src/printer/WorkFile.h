// A file of one piece of work in the user's private work folder: a name no other exchange, thread
// or process shares, removed when the work ends.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace brelmont::printer {

class WorkFile {
public:
    // Writes `size` bytes into a new file named after `stem` ("pjl-1a2B3c").
    WorkFile(const std::string& stem, const void* data, std::size_t size);
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Why the file could not be written; empty when it was. A file that could not be written must
    // not be used: it may hold part of the bytes.
    const std::string& error() const { return m_error; }

    // Removes every work file of this process that still exists: the program is being ended.
    static void removeAll();

private:
    std::filesystem::path m_path;
    std::string m_error;
};

} // namespace brelmont::printer
