#include "sendfile/LocalPath.h"

#include "printer/PercentCoding.h"

namespace brelmont::sendfile {

std::string localPath(std::string_view pathOrUrl) {
    constexpr std::string_view Scheme = "file://";
    constexpr std::string_view LocalHost = "localhost/";
    if (!pathOrUrl.starts_with(Scheme)) return std::string(pathOrUrl);
    std::string_view rest = pathOrUrl.substr(Scheme.size());
    if (rest.starts_with(LocalHost)) rest.remove_prefix(LocalHost.size() - 1);
    return printer::percentDecode(rest);
}

} // namespace brelmont::sendfile
