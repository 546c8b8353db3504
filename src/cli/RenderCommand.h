// brelmont-cli render: every page of a job as a PNG picture, drawn as the viewer draws it; with
// --text each emboss page as braille text; with --brf the job's 6-dot pages as one BRF file.
#pragma once

#include <string>
#include <vector>

namespace brelmont::cli {

int runRender(const std::vector<std::string>& args);

} // namespace brelmont::cli
