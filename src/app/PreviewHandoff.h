// The preview hand-off: the driver writes a request file and a job copy into the shared folder;
// each tick copies the job under its own name and opens it. The job name is untrusted: it is
// accepted only as a plain file name. Other users write into the folder, so each tick makes and
// opens its files itself, never through a link, and sets their modes on the open descriptors
// (touch, chmod and cp would follow a link planted there to any file of the user).
#pragma once

#include "app/SharedFolder.h"

#include <functional>
#include <optional>
#include <set>
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

// A request is five short lines; anything longer is not one (the folder is writable by everyone).
constexpr int64_t MaxRequestBytes = 64 * 1024;

class PreviewHandoff {
public:
    using ShowWarning = std::function<void(const std::string&)>;
    using OpenJob = std::function<void(const std::filesystem::path&)>;

    enum class Tick {
        NoLockFile,       // the request file could not be made or read
        Refused,          // a link stands where the folder or the request file belongs: left alone
        WrongPermissions, // not 0666: warned once, then left alone
        NoRequest,        // empty request file
        Consumed,         // a request that opened nothing
        Opened,           // a job copied and handed to the documents
    };

    PreviewHandoff(SharedFolder folder, ShowWarning warn, OpenJob open);

    Tick tick();

    std::string permissionWarning() const;

    const SharedFolder& folder() const { return m_folder; }

    bool m_permissionWarning = true; // true until the one warning of this launch has been shown

private:
    // Shows a refusal once per launch: a planted link stays until someone removes it.
    void refuse(const std::string& refusal);

    SharedFolder m_folder;
    std::set<std::string> m_refusalsShown;
    ShowWarning m_warn;
    OpenJob m_open;
};

} // namespace brelmont::app
