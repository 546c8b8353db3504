// What makes one simulated embosser family: every family is such a table (Families.cpp), the
// device is the same for all of them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::sim {

struct Entry {
    std::string key, value;
};
using EntryList = std::vector<Entry>;

// The lists "@PJL INFO X" names, in the order the state file keeps them.
enum Section { Variables, Versions, Status, Legacy, Sensors, SectionCount };
inline constexpr const char* SectionNames[SectionCount] = {"VARIABLES", "VERSIONS", "STATUS", "LEGACY", "SENSORS"};

// One named byte of a family that keeps its settings in a 128-byte NVRAM line.
struct NvParam {
    std::string name;
    int byte, value; // value: the factory one
};

// One family: its identity and its factory state.
struct FamilyTable {
    std::string name;                          // as given to --family
    std::string deviceId;                      // answered to "@PJL INFO ID"
    std::array<EntryList, SectionCount> lists; // factory state
    std::vector<NvParam> nvParams;             // not empty: the variables are these NVRAM bytes
    bool binaryVersionRequest = false;         // answers the fixed 16-byte version request
};

const FamilyTable* findFamily(std::string_view name);
std::string familyNames(); // "orvin|ivra|..."

} // namespace brelmont::sim
