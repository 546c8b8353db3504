// PJL replies as the toolboxes read what an embosser sent: an INFO list, the sensor list and the
// NVRAM parameter line, one reply line per input line.
#include "printer/PjlReplies.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brelmont::printer;
    ReplyLines reply(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') reply.emplace_back();
        else reply.back() += char(data[i]);
    }
    readInfoList(reply, pjl::Status);
    readSensorList(reply, pjl::Sensors);
    // Rows past the end of the line, and before its start, read as 0; every value is one byte.
    static const std::vector<NvramItem> table = {{"FIRST", 1}, {"LAST", 127}, {"FAR", 1 << 20}, {"BEFORE", -3}};
    if (const auto items = readNvramParameters(reply, pjl::NvParms, table)) {
        if (items->size() != table.size()) __builtin_trap();
        for (const PjlItem& item : *items)
            if (item.value.empty() || item.value.size() > 3 || std::stoi(item.value) > 255) __builtin_trap();
    }
    return 0;
}
