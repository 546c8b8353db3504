#include "printer/PjlHelper.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"
#include "printer/TextLines.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace brelmont::printer {

fs::path PjlHelper::resourceDir() {
    if (const char* dir = std::getenv("BRELMONT_RESOURCE_DIR"); dir && *dir) return dir;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path here = ec ? fs::current_path() : self.parent_path();
    // Installed, the helper sits in libexec; in the build tree, beside the programs.
    const fs::path installed = here.parent_path() / "libexec" / "brelmont-companion";
    return fs::exists(here / "pjlhelper") || !fs::exists(installed / "pjlhelper") ? here : installed;
}

fs::path PjlHelper::workDir() {
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec) / ("brelmont-" + std::to_string(getuid()));
    mkdir(dir.c_str(), 0700);
    // A folder of that name made by someone else (or a link) is not ours to write into.
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    chmod(dir.c_str(), 0700);
    return dir;
}

namespace {

std::string helperPath() { return shellSingleQuoted((PjlHelper::resourceDir() / "pjlhelper").string()); }

// The work files have fixed names, and a device answers one exchange at a time: exchanges from
// several threads (a window's worker still finishing, another window) take turns.
std::mutex& exchangeTurn() {
    static std::mutex turn;
    return turn;
}

bool writeFile(const fs::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    return bool(out);
}

} // namespace

std::string PjlHelper::listingCommand() { return helperPath(); }

std::string PjlHelper::exchangeCommand(char flag, const fs::path& file, const std::string& device, bool readReply) {
    return helperPath() + " " + flag + (readReply ? " 1" : " 0") + " 1 1 1 " + shellDoubleQuoted(file.string()) + " " +
           shellDoubleQuoted(device);
}

std::vector<std::string> PjlHelper::deviceListing() {
    const auto out = CommandRunner::run(listingCommand());
    return out ? splitLines(*out) : std::vector<std::string>();
}

ReplyLines replyLines(std::string text) {
    std::erase(text, '\r');
    std::erase(text, '\f');
    return splitLines(text);
}

ReplyLines PjlHelper::exchange(const std::string& request, const std::string& device) {
    const fs::path dir = workDir();
    if (dir.empty()) return replyLines({});
    const fs::path file = dir / "pjl";
    const std::lock_guard turn(exchangeTurn());
    // A work file that could not be written would send the previous request again: send nothing.
    if (!request.empty() && !writeFile(file, request.data(), request.size())) return replyLines({});
    const auto out = CommandRunner::run(exchangeCommand(request.empty() ? '0' : '1', file, device, true));
    return replyLines(out.value_or(std::string()));
}

std::vector<uint8_t> PjlHelper::exchangeData(const std::vector<uint8_t>& data, const std::string& device) {
    const fs::path dir = workDir();
    if (dir.empty()) return {};
    const fs::path file = dir / "data";
    const std::lock_guard turn(exchangeTurn());
    if (!writeFile(file, data.data(), data.size())) return {};
    return CommandRunner::runForData(exchangeCommand('1', file, device, true)).value_or(std::vector<uint8_t>());
}

bool PjlHelper::sendFile(const std::string& path, const std::string& device) {
    const std::string local = path.starts_with("file://") ? path.substr(7) : path;
    return CommandRunner::launch(exchangeCommand('1', local, device, false));
}

} // namespace brelmont::printer
