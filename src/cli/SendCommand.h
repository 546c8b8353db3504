// brelmont-cli send FILE QUEUE: a file sent unchanged (raw) to a print queue.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

// Exit 0 once lpr has taken the job, 2 for a missing or unreadable file, 1 when lpr could not be
// started or refused the job.
int runSend(const std::vector<std::string>& args);

} // namespace brelmont::cli
