#include "sendfile/SendOperation.h"

#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"
#include "sendfile/LocalPath.h"

namespace brelmont::sendfile {

std::string sendCommand(std::string_view path, std::string_view queue) {
    std::string local = localPath(path);
    if (local.starts_with('-')) local.insert(0, "./");
    return "lpr -h -l -P " + printer::shellWord(queue) + " " + printer::shellDoubleQuoted(local);
}

bool send(std::string_view path, std::string_view queue, std::string* error) {
    return printer::CommandRunner::launch(sendCommand(path, queue), error);
}

} // namespace brelmont::sendfile
