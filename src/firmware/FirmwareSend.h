// How a downloaded firmware file reaches the embosser: by its queue or straight to the device,
// once the embosser is in update mode where its family needs that.
#pragma once

#include "firmware/AttachedEmbosser.h"
#include "printer/PjlHelper.h"
#include "printer/StopSignal.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::firmware {

enum class Transport {
    None,   // the family has no firmware transport: nothing is sent
    Queue,  // raw through the embosser's queue
    Direct, // through the device helper to the device
};

struct SendPlan {
    Transport transport = Transport::None;
    std::string_view precondition;  // what the device line must hold (update mode); empty: nothing
    std::string_view notReadyAlert; // the recovery instruction when it does not
};

SendPlan sendPlan(int64_t model);

// The recovery instruction when the device line shows the embosser is not in update mode; empty
// when the file may be sent.
std::string_view notReady(const SendPlan& plan, const std::string& deviceLine);

// Where the direct transport sends: the second blank-separated word of the device line.
std::string directAddress(const std::string& deviceLine);

// Writes the firmware to a work file and sends it by the plan's transport, waiting until the
// transport has handed it over; the outcome says whether it did and why not.
printer::ExchangeOutcome sendFirmware(const std::vector<uint8_t>& firmware, const SendPlan& plan,
                                      const AttachedEmbosser& embosser, const printer::SharedStop& stop = {});

} // namespace brelmont::firmware
