// Model codes that a job names, from its PJL lines, its configuration text and its raster headers.
#pragma once

#include "common/ModelCodes.h"

#include <cstdint>
#include <string_view>

namespace brelmont::job {

// A binary header of a type no model uses: the job names no model of the maker's, yet is not plain.
constexpr int64_t UnknownHeaderModel = 1;

// The model named by a PJL line, tested in a fixed order; 0 when the line names none.
int64_t modelCodeForPjlLine(std::string_view line);

// The model named by a configuration text, or `current` when it names none.
int64_t modelCodeForConfiguration(std::string_view text, int64_t current);

} // namespace brelmont::job
