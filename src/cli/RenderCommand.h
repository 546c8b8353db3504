// brelmont-cli render: every page of a job as a PNG picture, drawn as the viewer draws it.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runRender(const std::vector<std::string>& args);

} // namespace brelmont::cli
