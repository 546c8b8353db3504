// The queue's mirror file in the shared data folder: the option assignments the desktop user gave
// the queue ("lpoptions -p QUEUE" output), which the driver cannot read from the user's home. Any
// user may write into the folder, so the file counts only when the job's own user (or root) wrote
// it, it is read without following a link, and only its first MirrorFileLimit bytes are taken.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace brelmont::driver {

inline constexpr size_t MirrorFileLimit = 64 * 1024;

struct MirrorFile {
    std::string text; // empty when there is none or it does not count
    std::string note; // why a file that is there was not taken
};

// ".lpoptions/QUEUE.lpoptions" under the shared folder, taken when its owner is `jobOwner` or root.
MirrorFile readMirrorFile(const std::filesystem::path& sharedFolder, const std::string& queue, uid_t jobOwner);

} // namespace brelmont::driver
