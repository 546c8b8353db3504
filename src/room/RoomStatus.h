// The state of every embosser in the room: each queue of the maker's embossers with its model,
// firmware, state and ink, the embossers asked side by side. One that does not answer is listed
// as such, never left out.
#pragma once

#include "printer/PjlHelper.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <optional>
#include <string>
#include <vector>

namespace brelmont::room {

struct InkState {
    std::string cartridge; // "1", "black", ...
    std::string health;    // as the toolbox shows it: "OK", "Cartridge near end of life", ...
    std::string fill;      // "82 %"
};

struct EmbosserStatus {
    printer::PrinterItem printer;
    std::string model;                   // as the embosser names itself, else the model table's name
    std::optional<std::string> firmware; // none when the embosser did not tell it
    bool answering = false;
    std::string problem;         // why it is not answering
    std::string display;         // the state the embosser displays ("READY")
    std::optional<int64_t> code; // its status code (10001)
    std::string codeText;        // the code in words, where it has them ("ready")
    std::optional<bool> online;
    std::vector<InkState> ink;
};

struct Channels {
    printer::PjlExchange pjl;
    printer::DataExchange data;
};

// One queue's embosser: a queue with a toolbox is loaded as its toolbox would be; any other is asked
// for its status. Then its firmware version is read as the firmware update reads it. Each step is
// bounded by the toolbox's time limit. `deviceLine` is its line of the device listing, empty when
// it has none (it is then not asked: it is not attached).
EmbosserStatus embosserStatus(const printer::PrinterItem& queue, const std::string& deviceLine, const Channels& channels);

// Every queue of the discovery, in its order, asking at most `atOnce` embossers at a time.
std::vector<EmbosserStatus> roomStatus(const printer::Printers& printers, const Channels& channels, int atOnce = 8);

} // namespace brelmont::room
