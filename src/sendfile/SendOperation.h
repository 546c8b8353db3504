// The send operation both send windows end in: the file goes unchanged (raw, no banner page) to a
// print queue through lpr, which runs on by itself.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::sendfile {

// "lpr -h -l -P QUEUE "PATH"": a "file://" URL stands for its local path. Queue and path are quoted
// only where they need it, so each arrives as one literal argument; a relative path that would read
// as an option gets a leading "./".
std::string sendCommand(std::string_view path, std::string_view queue);

// Starts the command and returns at once, without waiting for lpr or reading its output. False
// (and why, in `error`) only when the shell could not be started.
bool send(std::string_view path, std::string_view queue, std::string* error = nullptr);

} // namespace brelmont::sendfile
