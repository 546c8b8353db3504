// Exit statuses shared by every subcommand.
#pragma once

namespace brelmont::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;  // something outside the input went wrong (a file, a device)
constexpr int ExitRefused = 2; // the input was refused

} // namespace brelmont::cli
