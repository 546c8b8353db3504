// How a device value becomes a control's state and back: the reusable conversions.
#pragma once

#include "toolbox/Controls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::toolbox {

enum class Compare {
    Numeric, // firstInteger of the device value against the number written
    Text,    // the device value against the text written
};

// Show: put the device value into the control. Write: the text the controls now stand for, or
// none when this row sends nothing at present (a condition is not met). Either may be empty.
struct Conversion {
    std::function<void(std::string_view deviceValue, ControlSet& controls, std::string_view control)> show;
    std::function<std::optional<std::string>(const ControlSet& controls, std::string_view control, std::string_view deviceValue)>
        write;
    Compare compare = Compare::Text;
    // Further controls the written value depends on (the row's own control always counts).
    std::vector<std::string> alsoReads = {};
    // Why the controls' value must not be written (the user is told); empty when it may be.
    std::function<std::string(const ControlSet& controls, std::string_view control)> refuse = nullptr;
};

namespace conv {

// Shortest decimal text of value / divisor, always with a fractional part ("8.5", "11.0").
std::string unitsToInches(int64_t value, int divisor);

// A length in 1/divisor inch shown as inches with the inch sign; written as the whole number.
Conversion length(int divisor);
// A paper side: a length that is never written as 0 (a custom paper size whose side nobody typed).
Conversion paperLength(int divisor, std::string side);
// The text as it is, both ways.
Conversion text();
// The text as it is when loading, never written.
Conversion shownText();
// A check box: checked exactly when the value equals `on`; writes `on` or `off`.
Conversion check(std::string on, std::string off);
// A check box checked exactly when firstInteger of the value is 1; writes "1" or "0".
Conversion checkOne();
// A combo box over words by index: shows the index of the word (or `otherIndex`); writes the word
// at the index (or `otherWord` for any index outside the list).
Conversion words(std::vector<std::string> words, int otherIndex, std::string otherWord);
// A field holding the device number plus `offset` when it lies in [low, high] (else `fallback`);
// writes the field's number minus the offset, or "0" outside the range.
Conversion offsetNumber(int64_t offset, int64_t low, int64_t high, std::string fallback);
// Bits of a flags word, one check box per bit (the row's control is bit 0); writes the device
// value with those bits replaced, or the device value itself when they already match.
Conversion flagBits(std::vector<std::string> checkBoxes);
// firstInteger of the field as decimal text.
Conversion integerText();
// The conversion, written only while combo box `combo` has an index of at least `minIndex`.
Conversion whenIndexAtLeast(std::string combo, int minIndex, Conversion inner);

} // namespace conv

} // namespace brelmont::toolbox
