// Model codes that a job names, from its PJL lines, its configuration text and its raster headers.
#pragma once

#include <cstdint>
#include <string_view>

namespace brelmont::job {

namespace model {
constexpr int64_t None = 0;
constexpr int64_t UnknownHeader = 1; // a binary header of a type no model uses
constexpr int64_t Tessaline = 20802;
constexpr int64_t Quorrin = 80803;
constexpr int64_t QuorrinSummed = 80804;
constexpr int64_t SiaModule = 101202;
constexpr int64_t Valdo = 121201;
constexpr int64_t Merriden = 131201;
constexpr int64_t MerridenTintBridge = 131207;
constexpr int64_t InkHeader = 161705;
constexpr int64_t Orvin = 221201;
constexpr int64_t OrvinTintBridge = 221203;
} // namespace model

// The model named by a PJL line, tested in a fixed order; 0 when the line names none.
int64_t modelCodeForPjlLine(std::string_view line);

// The model named by a configuration text, or `current` when it names none.
int64_t modelCodeForConfiguration(std::string_view text, int64_t current);

} // namespace brelmont::job
