// Model codes that a job names, from its PJL lines, its configuration text and its raster headers.
#pragma once

#include "common/ModelCodes.h"

#include <cstdint>
#include <string_view>

namespace brelmont::job {

// The codes as the job parsers name them; the numbers are the maker's models.
namespace model {
constexpr int64_t None = brelmont::model::None;
constexpr int64_t UnknownHeader = 1; // a binary header of a type no model uses
constexpr int64_t Tessaline = brelmont::model::Tessaline;
constexpr int64_t Quorrin = brelmont::model::Quorrin;
constexpr int64_t QuorrinSummed = brelmont::model::Pim;
constexpr int64_t SiaModule = brelmont::model::TalmoreTintBridge;
constexpr int64_t Valdo = brelmont::model::Valdo;
constexpr int64_t Merriden = brelmont::model::Merriden;
constexpr int64_t MerridenTintBridge = brelmont::model::MerridenTintBridge;
constexpr int64_t InkHeader = brelmont::model::VeskInk;
constexpr int64_t Orvin = brelmont::model::Orvin;
constexpr int64_t OrvinTintBridge = brelmont::model::OrvinColorTintBridge;
} // namespace model

// The model named by a PJL line, tested in a fixed order; 0 when the line names none.
int64_t modelCodeForPjlLine(std::string_view line);

// The model named by a configuration text, or `current` when it names none.
int64_t modelCodeForConfiguration(std::string_view text, int64_t current);

} // namespace brelmont::job
