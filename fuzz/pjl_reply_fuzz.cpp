// Embossers' PJL replies as the toolbox and the firmware check read them: any bytes, every query.
#include "printer/PjlReplies.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
        if (list && list->size() >= reply.size()) __builtin_trap();
    }
    for (const std::string& line : reply) {
        const auto [key, value] = splitKeyValue(line);
        if (key.size() + value.size() > line.size()) __builtin_trap();
        if (firstInteger(line) < 0) __builtin_trap();
        for (int64_t i = 0; i < 4; ++i)
            if (const int byte = hexByte(line, i); byte < 0 || byte > 255) __builtin_trap();
        (void)firstDecimal(line);
    }
    return 0;
}
