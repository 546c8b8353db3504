// brelmont-cli doctor: one line per check of what a user cannot see, with what to do about each
// problem; exit status 1 when there is any.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runDoctor(const std::vector<std::string>& args);

} // namespace brelmont::cli
