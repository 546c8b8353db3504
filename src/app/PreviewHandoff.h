// The preview hand-off: the driver writes a request file and a job copy into the shared folder;
// each tick copies the job under its own name and opens it. The job name is untrusted: it is
// accepted only as a plain file name, and every path reaches the shell quoted.
#pragma once

#include "app/SharedFolder.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::app {

// The request file's text: lines split at LF with empty lines dropped; valid with 5 lines or more.
std::vector<std::string> requestLines(std::string_view text);
// The job's base name from a request: the third line up to its last "."; none for fewer than 5 lines.
std::optional<std::string> requestBaseName(std::string_view text);
// Whether a base name may become a file in the shared folder: not empty, not "." or "..",
// no "/" and no NUL.
bool isPlainFileName(std::string_view name);
// Whether bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

class PreviewHandoff {
public:
    using RunCommand = std::function<void(const std::string&)>;
    using ShowWarning = std::function<void(const std::string&)>;
    using OpenJob = std::function<void(const std::filesystem::path&)>;

    enum class Tick {
        NoLockFile,       // the request file's attributes could not be read
        WrongPermissions, // not 0666: warned once, then left alone
        NoRequest,        // empty request file
        Consumed,         // a request that opened nothing
        Opened,           // a job copied and handed to the documents
    };

    PreviewHandoff(SharedFolder folder, RunCommand run, ShowWarning warn, OpenJob open);

    Tick tick();

    // The command lines of each tick's first step and of the copy.
    std::vector<std::string> repairCommands() const;
    std::string copyCommand(const std::string& baseName) const;
    std::string permissionWarning() const;

    const SharedFolder& folder() const { return m_folder; }

    bool m_permissionWarning = true; // true until the one warning of this launch has been shown

private:
    SharedFolder m_folder;
    RunCommand m_run;
    ShowWarning m_warn;
    OpenJob m_open;
};

} // namespace brelmont::app
