#include "preferences/PaperSize.h"

#include "preferences/DisplayNames.h"
#include "preferences/OptionStore.h"

#include <array>
#include <charconv>
#include <cmath>

namespace brelmont::preferences {

namespace {

struct TableRow {
    std::string_view value;
    std::string_view width;
    std::string_view height;
    int units;
};

constexpr std::array<TableRow, 14> StandardSizes = {{
    {"Letter", "8.5", "11.0", UnitInches},
    {"Legal", "8.5", "14.0", UnitInches},
    {"Ledger", "11.0", "17.0", UnitInches},
    {"Executive", "7.25", "10.5", UnitInches},
    {"A3", "29.7", "42.0", UnitCentimetres},
    {"A4", "21.0", "29.7", UnitCentimetres},
    {"A5", "14.8", "21.0", UnitCentimetres},
    {"B4", "250", "353", UnitMillimetres},
    {"B5", "176", "250", UnitMillimetres},
    {"A4Tractor", "21.0", "30.48", UnitCentimetres},
    {"Logos", "24.1", "29.7", UnitCentimetres},
    {"115X11", "11.5", "11.0", UnitInches},
    {"115X115", "11.5", "11.5", UnitInches},
    {"11X14", "11.0", "14.0", UnitInches},
}};

double unitsPerInch(int units) {
    switch (units) {
    case UnitInches: return 1;
    case UnitCentimetres: return 2.54;
    case UnitMillimetres: return 25.4;
    default: return 72;
    }
}

int unitNamedIn(std::string_view value) {
    if (value.find("in") != std::string_view::npos) return UnitInches;
    if (value.find("cm") != std::string_view::npos) return UnitCentimetres;
    if (value.find("mm") != std::string_view::npos) return UnitMillimetres;
    return UnitPoints;
}

// The length of the number at the start of `text` (digits with at most one "."), 0 when none.
size_t numberLength(std::string_view text) {
    size_t length = 0;
    bool point = false, digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else break;
        ++length;
    }
    return digit ? length : 0;
}

} // namespace

StandardPaperSize standardPaperSize(std::string_view value) {
    for (const TableRow& row : StandardSizes)
        if (row.value == value) return {std::string(row.width), std::string(row.height), row.units};
    return {"0.0", "0.0", UnitPoints};
}

bool isCustomSizeValue(std::string_view value) { return lowerCase(value.substr(0, 7)) == "custom."; }

std::optional<CustomSize> parseCustomSize(std::string_view value) {
    if (!isCustomSizeValue(value)) return std::nullopt;
    const std::string_view size = value.substr(7);
    const size_t x = size.find('x');
    if (x == std::string_view::npos || size.find('x', x + 1) != std::string_view::npos) return std::nullopt;
    return CustomSize{leadingDecimal(size.substr(0, x)), leadingDecimal(size.substr(x + 1)), unitNamedIn(value)};
}

double convertUnits(double value, int fromUnits, int toUnits) {
    double twentieths = std::trunc(value / unitsPerInch(fromUnits) * 20) + 1;
    if (std::fmod(twentieths, 2) != 0) twentieths -= 1;
    return twentieths * unitsPerInch(toUnits) / 20;
}

double leadingDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    const size_t length = numberLength(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value, std::chars_format::fixed);
    if (length == 0 || error != std::errc()) return 0;
    return negative ? -value : value;
}

int64_t leadingInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    size_t length = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') ++length;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
    if (length == 0 || error != std::errc()) return 0;
    return negative ? -value : value;
}

std::string fieldText(double value) {
    if (!std::isfinite(value)) return "0.0";
    char rounded[64];
    const auto written = std::to_chars(rounded, rounded + sizeof rounded, value, std::chars_format::general, 10);
    double shown = value;
    std::from_chars(rounded, written.ptr, shown, std::chars_format::general);
    return sizeText(shown);
}

PrintOption withCustomSizeLast(PrintOption pageSize) {
    std::vector<std::string>& values = pageSize.values;
    for (size_t i = 0; i + 1 < values.size(); ++i) {
        if (!isCustomSizeValue(values[i])) continue;
        std::string custom = std::move(values[i]);
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(i));
        values.push_back(std::move(custom));
        const auto moved = static_cast<int64_t>(i);
        if (pageSize.selected == moved) pageSize.selected = static_cast<int64_t>(values.size()) - 1;
        else if (pageSize.selected > moved) --pageSize.selected;
        break;
    }
    return pageSize;
}

int customEntryIndex(const PrintOption& pageSize) {
    if (pageSize.values.empty() || !isCustomSizeValue(pageSize.values.back())) return -1;
    return static_cast<int>(pageSize.values.size()) - 1;
}

} // namespace brelmont::preferences
