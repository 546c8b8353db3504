// PJL request texts and the parsers of the replies the embossers send.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brelmont::printer {

struct PjlItem {
    std::string key;
    std::string value;
    bool operator==(const PjlItem&) const = default;
};

struct NvramItem {
    std::string key;
    int64_t index = 0;
};

using ReplyLines = std::vector<std::string>;

// The queries, each with the text its reply's first line is checked against.
struct PjlQuery {
    std::string_view name;    // for people and scripts: "variables", "versions", ...
    std::string_view request; // the exact text sent
    std::string_view header;  // what line 0 of an accepted reply holds
    bool headerAnywhere;      // the header may stand anywhere in line 0, not only at its start
};

namespace pjl {
constexpr std::string_view UniversalExit = "\x1b%-12345X";
extern const PjlQuery Variables;
extern const PjlQuery VariablesWithStatus; // asked with timed status first
extern const PjlQuery Versions;
extern const PjlQuery Status;
extern const PjlQuery Legacy;
extern const PjlQuery Sensors;
extern const PjlQuery NvParms;
const PjlQuery* queryNamed(std::string_view name);
const std::vector<const PjlQuery*>& queries();

// "@PJL DEFAULT KEY=VALUE" lines for each changed setting, then "@PJL SERVICE UPDATE".
std::string applyRequest(const std::vector<PjlItem>& changes);
// One variable; a value with a blank goes in double quotes.
std::string setRequest(std::string_view key, std::string_view value);
// The same, followed by "@PJL SERVICE UPDATE" (a whole-number value).
std::string setAndUpdateRequest(std::string_view key, int64_t value);
// The ink module's fill-state reset of one cartridge (0 or 1).
std::string clearNozzleCountRequest(int cartridge);
// A braille table for table slot `slot`: the slot made the one in use, then the download of its
// 256 cells (for slot 0, 76 bytes of PJL and the cells).
std::vector<uint8_t> tableDownloadRequest(int slot, const std::array<uint8_t, 256>& cells);
} // namespace pjl

// The first run of decimal digits in the text; 0 when there is none. Saturates at the largest value.
int64_t firstInteger(std::string_view text);
// The first decimal number, with "." points: "8.5\"" gives 8.5, ".25" 0.25, "1.2.3" 12.3.
double firstDecimal(std::string_view text);
// KEY=VALUE up to a line feed; the first "=" splits, double quotes leave the value.
std::pair<std::string, std::string> splitKeyValue(std::string_view line);
// The byte written as two hexadecimal digits at positions 2i and 2i + 1 (others count as 0).
int hexByte(std::string_view text, int64_t i);

// An INFO or DINQUIRE reply: none when line 0 lacks the header or announces no entries; an
// empty list when the entries read differ from the number announced.
std::optional<std::vector<PjlItem>> readInfoList(const ReplyLines& reply, const PjlQuery& query);
// The sensor reply: lines 1 to N, as announced on line 0, each split into key and value.
std::optional<std::vector<PjlItem>> readSensorList(const ReplyLines& reply, const PjlQuery& query);

} // namespace brelmont::printer
