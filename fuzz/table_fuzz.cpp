// Braille table files as the toolbox reads the one a user chose.
#include "toolbox/BrailleConversionData.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    brelmont::toolbox::BrailleConversionData table;
    const int result = table.build(std::vector<uint8_t>(data, data + size));
    // A refused file leaves no cell behind, and names the line that refused it.
    if (result != brelmont::toolbox::BrailleConversionData::Done) {
        for (const uint8_t cell : table.table()) check(cell == 0);
        check(table.failedLine() >= 1);
    }
    return 0;
}
