#include "toolbox/Conversions.h"

#include "printer/PjlReplies.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace brelmont::toolbox::conv {

using printer::firstDecimal;
using printer::firstInteger;

namespace {

constexpr std::string_view InchSign = "\"";

// A field's decimal number in 1/divisor units, truncated toward zero; saturates instead of
// overflowing on absurd input. A product a rounding error short of a whole number counts as that
// number: 0.29" in hundredths is 28.999999999999996 in binary, and truncating it would write 28
// for a field the user never touched.
int64_t decimalUnits(std::string_view text, int divisor) {
    double units = firstDecimal(text) * divisor;
    const double whole = std::round(units);
    if (whole - units <= 1e-12 * std::max(1.0, whole)) units = whole;
    units = std::trunc(units);
    if (!(units < 9.2e18)) return std::numeric_limits<int64_t>::max();
    return int64_t(units);
}

// A typed minus sign ("-" or U+2212) before the number, which the unsigned numbers below would
// drop, writing the wrong value.
bool typedNegative(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    return text.starts_with("-") || text.starts_with("\u2212");
}

std::string refuseNegative(const ControlSet& controls, std::string_view control) {
    const std::string typed = controls.text(control);
    if (!typedNegative(typed)) return {};
    return "The value \"" + typed + "\" was not written: this setting takes no number below 0.";
}

} // namespace

std::string unitsToInches(int64_t value, int divisor) {
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, double(value) / divisor, std::chars_format::fixed);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

Conversion length(int divisor) {
    return {
        [divisor](std::string_view value, ControlSet& controls, std::string_view control) {
            controls.setText(control, unitsToInches(firstInteger(value), divisor) + std::string(InchSign));
        },
        [divisor](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            return std::to_string(decimalUnits(controls.text(control), divisor));
        },
        Compare::Numeric,
        {},
        refuseNegative,
    };
}

Conversion paperLength(int divisor, std::string side) {
    Conversion paper = length(divisor);
    paper.refuse = [divisor, side](const ControlSet& controls, std::string_view control) -> std::string {
        if (std::string negative = refuseNegative(controls, control); !negative.empty()) return negative;
        if (decimalUnits(controls.text(control), divisor) > 0) return {};
        return "The paper " + side + " was not written: type it for a custom paper size (a side of 0 is never written).";
    };
    return paper;
}

Conversion text() {
    return {
        [](std::string_view value, ControlSet& controls, std::string_view control) {
            controls.setText(control, std::string(value));
        },
        [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            return controls.text(control);
        },
        Compare::Text,
    };
}

Conversion shownText() {
    Conversion shown = text();
    shown.write = nullptr;
    return shown;
}

Conversion check(std::string on, std::string off) {
    return {
        [on](std::string_view value, ControlSet& controls, std::string_view control) {
            controls.setChecked(control, value == on);
        },
        [on, off](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            return controls.checked(control) ? on : off;
        },
        Compare::Text,
    };
}

Conversion checkOne() {
    Conversion one = check("1", "0");
    one.show = [](std::string_view value, ControlSet& controls, std::string_view control) {
        controls.setChecked(control, firstInteger(value) == 1);
    };
    return one;
}

Conversion words(std::vector<std::string> words, int otherIndex, std::string otherWord) {
    return {
        [words, otherIndex](std::string_view value, ControlSet& controls, std::string_view control) {
            int index = otherIndex;
            for (size_t i = 0; i < words.size(); ++i)
                if (words[i] == value) {
                    index = int(i);
                    break;
                }
            controls.setIndex(control, index);
        },
        [words, otherWord](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            const int i = controls.index(control);
            return i >= 0 && size_t(i) < words.size() ? words[size_t(i)] : otherWord;
        },
        Compare::Text,
    };
}

Conversion offsetNumber(int64_t offset, int64_t low, int64_t high, std::string fallback) {
    return {
        [=](std::string_view value, ControlSet& controls, std::string_view control) {
            const int64_t n = firstInteger(value);
            controls.setText(control, n >= low && n <= high ? std::to_string(n + offset) : fallback);
        },
        [=](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            const int64_t n = firstInteger(controls.text(control));
            // firstInteger never goes below 0, so subtracting the offset cannot overflow
            const int64_t t = n - offset;
            return t < low || t > high ? std::string("0") : std::to_string(t);
        },
        Compare::Text,
        {},
        refuseNegative,
    };
}

Conversion flagBits(std::vector<std::string> checkBoxes) {
    return {
        [checkBoxes](std::string_view value, ControlSet& controls, std::string_view) {
            const int64_t flags = firstInteger(value);
            for (size_t i = 0; i < checkBoxes.size(); ++i) controls.setChecked(checkBoxes[i], (flags >> i & 1) != 0);
        },
        [checkBoxes](const ControlSet& controls, std::string_view, std::string_view deviceValue) -> std::optional<std::string> {
            int64_t bits = 0, mask = 0;
            for (size_t i = 0; i < checkBoxes.size(); ++i) {
                mask |= int64_t(1) << i;
                if (controls.checked(checkBoxes[i])) bits |= int64_t(1) << i;
            }
            const int64_t device = firstInteger(deviceValue);
            if ((device & mask) == bits) return std::string(deviceValue);
            return std::to_string((device & ~mask) | bits);
        },
        Compare::Text,
        checkBoxes,
    };
}

Conversion integerText() {
    return {
        [](std::string_view value, ControlSet& controls, std::string_view control) {
            controls.setText(control, std::to_string(firstInteger(value)));
        },
        [](const ControlSet& controls, std::string_view control, std::string_view) -> std::optional<std::string> {
            return std::to_string(firstInteger(controls.text(control)));
        },
        Compare::Text,
        {},
        refuseNegative,
    };
}

Conversion whenIndexAtLeast(std::string combo, int minIndex, Conversion inner) {
    Conversion conditional = inner;
    conditional.show = nullptr; // such fields are filled by their combo box's change handler
    conditional.write = [combo, minIndex, write = inner.write](const ControlSet& controls, std::string_view control,
                                                               std::string_view deviceValue) -> std::optional<std::string> {
        if (controls.index(combo) < minIndex || !write) return std::nullopt;
        return write(controls, control, deviceValue);
    };
    return conditional;
}

} // namespace brelmont::toolbox::conv
