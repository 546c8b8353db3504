// What makes one simulated embosser family: its identity and its factory settings. Every family
// is such a table; the device engine is the same for all of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::sim {

struct Entry {
    std::string key;
    std::string value;
};
using EntryList = std::vector<Entry>;

// One named byte of a family that keeps its settings in NVRAM.
struct NvParam {
    std::string name;
    int byte;
    int value; // factory value
};

struct FamilyTable {
    std::string name;     // as given to --family
    std::string deviceId; // IEEE 1284 device ID text answered to "@PJL INFO ID"
    EntryList variables;  // ignored when nvParams is not empty: the variables are then the NVRAM bytes
    EntryList versions;
    EntryList status;
    EntryList legacy;
    EntryList sensors;
    std::vector<NvParam> nvParams;
    int nvramSize = 0;
    bool binaryVersionRequest = false; // answers the fixed 16-byte version request
};

const FamilyTable* findFamily(std::string_view name);
std::string familyNames(); // "orvin|ivra|..." for the usage text

// The tables, one source file per family.
FamilyTable makeOrvin();
FamilyTable makeIvra();
FamilyTable makeTessaline();
FamilyTable makeValdo();
FamilyTable makeMerriden();
FamilyTable makeFennick();

} // namespace brelmont::sim
