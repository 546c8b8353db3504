// Braille table files as the toolbox reads the one a user chose.
#include "toolbox/BrailleConversionData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    brelmont::toolbox::BrailleConversionData table;
    const int result = table.build(std::vector<uint8_t>(data, data + size));
    // A refused file leaves no cell behind, and names the line that refused it.
    if (result != brelmont::toolbox::BrailleConversionData::Done) {
        for (uint8_t cell : table.table())
            if (cell != 0) __builtin_trap();
        if (table.failedLine() < 1) __builtin_trap();
    }
    return 0;
}
