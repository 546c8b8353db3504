#include "cli/SendCommand.h"

#include "cli/ExitCodes.h"
#include "sendfile/LocalPath.h"
#include "sendfile/SendOperation.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace brelmont::cli {

namespace {

namespace fs = std::filesystem;

// How long lpr may take to hand the job to the scheduler.
constexpr std::chrono::seconds SendLimit{120};

// Why the file cannot be sent, or empty when it can be read.
std::string unreadable(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return "is a folder";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::strerror(errno);
    return {};
}

} // namespace

int runSend(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0].empty() || args[1].empty()) {
        std::cerr << "usage: brelmont-cli send FILE QUEUE\n";
        return ExitRefused;
    }
    const std::string given = sendfile::localPath(args[0]);
    if (const std::string why = unreadable(given); !why.empty()) {
        std::cerr << "brelmont-cli: send: " << given << ": " << why << '\n';
        return ExitRefused;
    }
    // lpr runs in this folder too, but an absolute path cannot be taken for one of its options.
    std::error_code ec;
    const fs::path absolute = fs::absolute(given, ec);
    const sendfile::SendOutcome outcome = sendfile::send(ec ? given : absolute.string(), args[1], SendLimit);
    if (!outcome.queued()) {
        std::cerr << "brelmont-cli: send: " << outcome.detail << '\n';
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace brelmont::cli
