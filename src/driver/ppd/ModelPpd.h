// The PPD of each model: its sizes and the options the preferences window edits, those the model
// has, plus the braille table and page numbers of the driver, and the driver's filter.
#pragma once

#include "driver/ModelProfiles.h"
#include "driver/braille/BrailleTables.h"
#include "driver/ppd/PpdWriter.h"

#include <vector>

namespace brelmont::driver {

inline constexpr const char* FilterProgram = "brelmont-filter";

PpdDescription modelPpd(const ModelProfile& profile, const std::vector<BrailleTable>& tables);

} // namespace brelmont::driver
