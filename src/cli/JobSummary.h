// The JSON summary of an opened job: its model code and the geometry of every page.
#pragma once

#include "job/Document.h"

#include <string>

namespace brelmont::cli {

// {"model": N, "emboss": [{"kind":k,"width":w,"height":h,"stride":s}, ...], "ink": [...]}
std::string jobSummaryJson(const job::Document& doc);

} // namespace brelmont::cli
