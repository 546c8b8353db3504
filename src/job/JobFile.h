// Reading a job file whole, within a bound: what is not a file of bytes is refused with a reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::job {

// Larger jobs are refused rather than read: a job is held in memory while it is open.
constexpr int64_t MaxJobBytes = int64_t(1) << 30;

// How long a named pipe may wait for its writer's first bytes.
constexpr int PipeWaitMs = 30000;

// Reads the file into `bytes`. Returns an empty string on success, else why it failed, starting
// with the file's name. A regular file is checked for its size first; a pipe or a device is read
// until it ends or passes `limit`, never holding much more than `limit` on the way. A directory,
// a pipe whose writer sends nothing within `pipeWaitMs`, and every read error, is a failure.
std::string readJobFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, int64_t limit = MaxJobBytes,
                        int pipeWaitMs = PipeWaitMs);

} // namespace brelmont::job
