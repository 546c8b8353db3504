// Files in the shared data folder, which other users may write into: every file is opened without
// following a link, and its mode is set on the open descriptor, so a link planted where a file of
// ours belongs never leads the program to another file. Plain files of other users stay welcome.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brelmont::sharedfolder {

// A file descriptor, closed when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd();
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// What an open gave: the descriptor, or why there is none.
struct Opened {
    Fd fd;
    std::string refusal; // empty when opened
    bool link = false;   // refused because a symbolic link stands at the path
};

// The folder at `path`; a symbolic link there (or anything but a folder) is refused.
Opened openFolder(const std::filesystem::path& path);

// Makes the folder where nothing is at `path` (its parents as needed; `mode` as mkdir(2) takes it,
// less the umask), then opens it as openFolder does. An existing folder keeps its mode.
Opened makeFolder(const std::filesystem::path& path, mode_t mode);

// The plain file `name` in an opened folder, with open(2) `flags` (O_CREAT allowed); a file made
// now gets `mode` on its descriptor. A link, or anything but a plain file, is refused and left
// as it is. `shown` names the file in the refusal.
Opened openPlainFile(const Fd& folder, const std::string& name, int flags, mode_t mode, const std::filesystem::path& shown);

// Sets the mode on the descriptor; false when it could not (a file of another user).
bool setMode(const Fd& file, mode_t mode);

// Writes all of `bytes`, going on after interruptions; false (errno set) when the file took less.
bool writeAll(int fd, std::string_view bytes);

// The whole content of an open file, read from its start; empty with `error` set on failure,
// and when the file holds more than `maxBytes` (checked by its size first, then while reading).
std::string readAll(const Fd& file, std::string* error, int64_t maxBytes);

// Replaces the file `name` in the folder by `bytes`, whole: written under a fresh name of our own,
// given `mode`, then renamed over the old one (a link there is replaced, never followed). Empty
// on success, else why not.
std::string replaceFile(const Fd& folder, const std::string& name, std::string_view bytes, mode_t mode);

// Copies the plain file `from` to the plain file `to`, both in the folder, neither through a link,
// piece by piece. Empty on success, else why not (a planted link is named; a source larger than
// `maxBytes` is refused). A copy that could not be finished is removed, never left cut short.
std::string copyFile(const Fd& folder, const std::string& from, const std::string& to, mode_t mode,
                     const std::filesystem::path& folderPath, int64_t maxBytes);

// "PATH is a symbolic link where the program keeps a file of its own; it was left alone. ..."
std::string linkRefusal(const std::filesystem::path& path, bool folder = false);

} // namespace brelmont::sharedfolder
