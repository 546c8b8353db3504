// The braille translation tables liblouis offers, by their metadata: what a queue's "BrailleTable"
// option lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brelmont::driver {

struct BrailleTable {
    std::string name; // the table's file name, as liblouis finds it ("en-ueb-g1.ctb")
    std::string text; // "English, unified, uncontracted (6 dots)"
    int dots = 6;
};

// Tables carrying an index name, sorted by their text; empty when liblouis has none.
std::vector<BrailleTable> listBrailleTables();

// The table a queue uses when nothing else is chosen: uncontracted English.
inline constexpr std::string_view DefaultBrailleTable = "en-ueb-g1.ctb";

// Whether a name can be a table's file name: letters, digits, ".", "-" and "_" only, so a name
// from a job option never reaches a file outside liblouis's tables.
bool isTableName(std::string_view name);

} // namespace brelmont::driver
