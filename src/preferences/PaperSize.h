// Paper sizes in the preferences window: the standard sizes it shows in the custom fields, the
// custom size read from a queue's "Custom." value, and the unit conversion of the custom fields.
#pragma once

#include "preferences/PrintOption.h"

#include <optional>
#include <string>
#include <string_view>

namespace brelmont::preferences {

// Width and height as the custom fields show them, and the unit index they are in.
struct StandardPaperSize {
    std::string width;
    std::string height;
    int units = 0;
    bool operator==(const StandardPaperSize&) const = default;
};

// The table entry of a "PageSize" value (exact spelling); "0.0" by "0.0" in points for any other.
StandardPaperSize standardPaperSize(std::string_view value);

// A custom size in one of the units (0 points, 1 mm, 2 cm, 3 in).
struct CustomSize {
    double width = 0;
    double height = 0;
    int units = 0;
    bool operator==(const CustomSize&) const = default;
};

// Whether a "PageSize" or "media" value names a custom size: it begins with "Custom.", any case.
bool isCustomSizeValue(std::string_view value);

// The size in "Custom.WIDTHxHEIGHT[unit]": the leading numbers of the two pieces after "Custom."
// and the unit named by "in", "cm" or "mm" (points otherwise); none unless there are exactly two
// pieces.
std::optional<CustomSize> parseCustomSize(std::string_view value);

// Converts a length between units by way of whole even twentieths of an inch, as the embossers
// measure paper.
double convertUnits(double value, int fromUnits, int toUnits);

// The number a field starts with (blanks, sign, digits, fraction); 0 when it starts with none.
double leadingDecimal(std::string_view text);
// The integer a field starts with, as the contrast and brightness fields are read; 0 when none.
int64_t leadingInteger(std::string_view text);

// A length as the custom fields show it: the shortest text with a fractional part, after
// rounding away the noise that the unit factors leave (8.5 in is "215.9" mm).
std::string fieldText(double value);

// The page sizes with the custom choice, found by its value, moved to the end where the window
// expects it (some descriptions list it first); `selected` follows the same value.
PrintOption withCustomSizeLast(PrintOption pageSize);

// The index of the custom entry in a "PageSize" option: its last item when that is a custom size.
int customEntryIndex(const PrintOption& pageSize);

} // namespace brelmont::preferences
