#include "printer/PjlReplies.h"

#include <algorithm>
#include <cctype>

#include <array>
#include <limits>

namespace brelmont::printer {

namespace pjl {

#define BRELMONT_UEL "\x1b%-12345X"
const PjlQuery Variables{"variables", BRELMONT_UEL "@PJL INFO VARIABLES\n", "@PJL INFO VARIABLES [", false};
const PjlQuery VariablesWithStatus{"variables-status", BRELMONT_UEL "@PJL USTATUS TIMED=1\n@PJL INFO VARIABLES\n",
                                   "@PJL INFO VARIABLES [", false};
const PjlQuery Versions{"versions", BRELMONT_UEL "@PJL INFO VERSIONS\n", "@PJL INFO VERSIONS [", false};
const PjlQuery Status{"status", BRELMONT_UEL "@PJL INFO STATUS\n", "@PJL INFO STATUS [", false};
const PjlQuery Legacy{"legacy", BRELMONT_UEL "@PJL INFO LEGACY\n", "@PJL INFO LEGACY [", false};
const PjlQuery Sensors{"sensors", BRELMONT_UEL "@PJL INFO SENSORS\n", "PJL INFO SENSORS [", true};
const PjlQuery NvParms{"nvparms", BRELMONT_UEL "@PJL USTATUS TIMED=1\n@PJL DINQUIRE NVPARMS\n", "@PJL DINQUIRE NVPARMS", false};
#undef BRELMONT_UEL

const std::vector<const PjlQuery*>& queries() {
    static const std::vector<const PjlQuery*> all{&Variables, &VariablesWithStatus, &Versions, &Status, &Legacy, &Sensors,
                                                  &NvParms};
    return all;
}

const PjlQuery* queryNamed(std::string_view name) {
    for (const PjlQuery* q : queries())
        if (q->name == name) return q;
    return nullptr;
}

std::string applyRequest(const std::vector<PjlItem>& changes) {
    std::string request(UniversalExit);
    for (const PjlItem& c : changes) request += "@PJL DEFAULT " + c.key + "=" + c.value + "\n";
    return request + "@PJL SERVICE UPDATE\n";
}

std::string setRequest(std::string_view key, std::string_view value) {
    const bool quoted = value.find(' ') != std::string_view::npos;
    std::string request(UniversalExit);
    request += "@PJL DEFAULT ";
    request += key;
    request += "=";
    request += quoted ? "\"" + std::string(value) + "\"" : std::string(value);
    return request + "\n";
}

std::string setAndUpdateRequest(std::string_view key, int64_t value) {
    return std::string(UniversalExit) + "@PJL DEFAULT " + std::string(key) + "=" + std::to_string(value) +
           "\n@PJL SERVICE UPDATE\n";
}

std::string clearNozzleCountRequest(int cartridge) {
    return std::string(UniversalExit) + "\x1b%Pinkjet.clearnozzlecount " + std::to_string(cartridge) + ";";
}

std::vector<uint8_t> tableDownloadRequest(int slot, const std::array<uint8_t, 256>& cells) {
    const std::string n = std::to_string(slot);
    const std::string head = std::string(UniversalExit) + "@PJL DEFAULT TABLE=" + n +
                             "\n@PJL FSDOWNLOAD SIZE=" + std::to_string(cells.size()) + " NAME=\"BRAILLETABLE" + n + "\"\n";
    std::vector<uint8_t> request(head.begin(), head.end());
    request.insert(request.end(), cells.begin(), cells.end());
    return request;
}

} // namespace pjl

int64_t firstInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && !(text[i] >= '0' && text[i] <= '9')) ++i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (__builtin_mul_overflow(value, 10, &value) || __builtin_add_overflow(value, text[i] - '0', &value))
            return std::numeric_limits<int64_t>::max();
    }
    return value;
}

double firstDecimal(std::string_view text) {
    double value = 0, divisor = 0;
    bool digits = false, point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            if (point) divisor *= 10;
            digits = true;
        } else if (c == '.') {
            point = true;
            divisor = 1;
        } else if (digits) {
            break;
        }
    }
    return divisor > 0 ? value / divisor : value;
}

std::pair<std::string, std::string> splitKeyValue(std::string_view line) {
    std::pair<std::string, std::string> kv;
    bool inValue = false;
    for (char c : line) {
        if (c == '\n') break;
        if (!inValue && c == '=') inValue = true;
        else if (!inValue) kv.first += c;
        else if (c != '"') kv.second += c;
    }
    return kv;
}

int hexByte(std::string_view text, int64_t i) {
    const auto digit = [&](int64_t at) -> int {
        if (at < 0 || at >= int64_t(text.size())) return 0;
        const char c = text[size_t(at)];
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 0;
    };
    return digit(2 * i) * 16 + digit(2 * i + 1);
}

namespace {

// The number of entries line 0 announces, or none when it is not the query's reply.
std::optional<int64_t> announcedEntries(const ReplyLines& reply, const PjlQuery& query) {
    if (reply.empty()) return std::nullopt;
    const std::string& line = reply[0];
    const bool matches = query.headerAnywhere ? line.find(query.header) != std::string::npos : line.starts_with(query.header);
    const int64_t n = firstInteger(line);
    if (!matches || n <= 0) return std::nullopt;
    return n;
}

} // namespace

std::optional<std::vector<PjlItem>> readInfoList(const ReplyLines& reply, const PjlQuery& query) {
    const auto n = announcedEntries(reply, query);
    if (!n) return std::nullopt;
    std::vector<PjlItem> items;
    for (size_t i = 1; i < reply.size() && reply[i].find("@PJL") == std::string::npos; ++i) {
        auto [key, value] = splitKeyValue(reply[i]);
        if (!key.empty() && !value.empty()) items.push_back({std::move(key), std::move(value)});
    }
    if (int64_t(items.size()) != *n) items.clear();
    return items;
}

std::optional<std::vector<PjlItem>> readSensorList(const ReplyLines& reply, const PjlQuery& query) {
    const auto n = announcedEntries(reply, query);
    if (!n) return std::nullopt;
    std::vector<PjlItem> items;
    for (size_t i = 1; i < reply.size() && int64_t(i) <= *n; ++i) {
        auto [key, value] = splitKeyValue(reply[i]);
        items.push_back({std::move(key), std::move(value)});
    }
    return items;
}

std::optional<std::vector<PjlItem>> readNvramParameters(const ReplyLines& reply, const PjlQuery& query,
                                                        const std::vector<NvramItem>& table) {
    constexpr int ValidLine = 128;
    if (reply.size() < 2 || !reply[0].starts_with(query.header) || hexByte(reply[1], 0) != ValidLine) return std::nullopt;
    // A line cut short would show its missing bytes as settings of 0: it is a failed read.
    int64_t last = 0;
    for (const NvramItem& row : table) last = std::max(last, row.index);
    const std::string_view line = reply[1];
    if (int64_t(line.size()) < 2 * (last + 1) ||
        !std::all_of(line.begin(), line.begin() + 2 * (last + 1), [](char c) { return std::isxdigit(uint8_t(c)) != 0; }))
        return std::nullopt;
    std::vector<PjlItem> items;
    items.reserve(table.size());
    for (const NvramItem& row : table) items.push_back({row.key, std::to_string(hexByte(reply[1], row.index))});
    return items;
}

} // namespace brelmont::printer
