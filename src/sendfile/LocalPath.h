// The local file-system path behind what the send windows and the command line are given: a path
// as it stands, or a "file://" URL, whose path is percent-encoded.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::sendfile {

// A "file://" URL loses its scheme (and a "localhost" host) and has every escape decoded, not only
// "%20"; anything else is already a path and is returned unchanged.
std::string localPath(std::string_view pathOrUrl);

} // namespace brelmont::sendfile
