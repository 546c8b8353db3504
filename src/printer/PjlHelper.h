// The device helper tool: the listing of attached devices and the exchanges with one device.
#pragma once

#include "printer/PjlReplies.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::printer {

class PjlHelper {
public:
    // Where the helper tool lives: BRELMONT_RESOURCE_DIR, else the running program's own folder,
    // else ../libexec/brelmont-companion from it (an installed program).
    static std::filesystem::path resourceDir();
    // The per-user folder of the exchange's work files, inside the temporary folder. It is made
    // private to the user, so no one else can plant or read the files there.
    static std::filesystem::path workDir();

    // One line per attached device; none when the tool cannot be run.
    static std::vector<std::string> deviceListing();

    // Sends a PJL request (nothing when it is empty) and returns the reply lines, carriage
    // returns and form feeds removed.
    static ReplyLines exchange(const std::string& request, const std::string& device);
    // Sends bytes and returns the reply bytes as they came; empty when the tool did not start.
    static std::vector<uint8_t> exchangeData(const std::vector<uint8_t>& data, const std::string& device);
    // Starts sending a file and returns at once.
    static bool sendFile(const std::string& path, const std::string& device);

    // The command lines, for those who need to see them.
    static std::string listingCommand();
    static std::string exchangeCommand(char flag, const std::filesystem::path& file, const std::string& device, bool readReply);
};

// Reply text into lines: every "\r", then every form feed removed, then split at "\n".
ReplyLines replyLines(std::string text);

} // namespace brelmont::printer
