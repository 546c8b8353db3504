// Embossers' PJL replies as the toolboxes and the firmware check read them: any bytes, every query,
// the NVRAM parameter line and a DINQUIRE value.
#include "printer/ParameterValue.h"
#include "printer/PjlReplies.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace brelmont::printer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReplyLines reply;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string_view::npos; start = end + 1)
        reply.emplace_back(bytes.substr(start, end - start));
    reply.emplace_back(bytes.substr(start));

    for (const PjlQuery* query : pjl::queries()) {
        const auto list = query == &pjl::Sensors ? readSensorList(reply, *query) : readInfoList(reply, *query);
        // An accepted reply holds no more entries than it has lines after its first.
        check(!list || list->size() < reply.size());
    }
    // Rows past the end of the parameter line, and before its start, read as 0; every value is one byte.
    static const std::vector<NvramItem> table = {{"FIRST", 1}, {"LAST", 127}, {"FAR", 1 << 20}, {"BEFORE", -3}};
    if (const auto items = readNvramParameters(reply, pjl::NvParms, table)) {
        check(items->size() == table.size());
        for (const PjlItem& item : *items) check(!item.value.empty() && item.value.size() <= 3 && std::stoi(item.value) <= 255);
    }
    if (const auto value = readParameterValue(reply, "@PJL DINQUIRE NVRAM5"))
        for (const char c : *value) check(c >= 0x20 && c <= 0x7E); // only what the filter keeps

    for (const std::string& line : reply) {
        const auto [key, value] = splitKeyValue(line);
        check(key.size() + value.size() <= line.size());
        check(firstInteger(line) >= 0);
        for (int64_t i = 0; i < 4; ++i) check(hexByte(line, i) >= 0 && hexByte(line, i) <= 255);
        (void)firstDecimal(line);
    }
    return 0;
}
