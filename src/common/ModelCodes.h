// The model codes of the maker's embossers. Jobs, queues and devices name their model by these
// numbers, so a job can be matched to a queue and a device to its toolbox.
#pragma once

#include <cstdint>

namespace brelmont::model {

constexpr int64_t None = 0;
constexpr int64_t Tessaline30RT = 20801;
constexpr int64_t Tessaline = 20802;
constexpr int64_t PimJr = 40802;
constexpr int64_t Quorrin = 80803;
constexpr int64_t Pim = 80804;
constexpr int64_t Kym = 81402;
constexpr int64_t Talmore = 101201;
constexpr int64_t TalmoreTintBridge = 101202;
constexpr int64_t Valdo = 121201; // also "Valdo Trac"
constexpr int64_t ValdoSheet = 121202;
constexpr int64_t Merriden = 131201;
constexpr int64_t Fenwa = 131202;
constexpr int64_t MerridenTintBridge = 131207;
constexpr int64_t Vesk = 161704;
constexpr int64_t VeskInk = 161705;
constexpr int64_t Orvin = 221201;
constexpr int64_t OrvinTintBridge = 221202;
constexpr int64_t OrvinColorTintBridge = 221203;

} // namespace brelmont::model
