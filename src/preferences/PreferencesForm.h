// What the preferences window shows for a queue's options, and what its OK writes back, without
// any widgets: the window moves these values into its controls and reads them back.
#pragma once

#include "common/Translatable.h"
#include "preferences/PaperSize.h"
#include "preferences/PrintOption.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::preferences {

constexpr const char* BrowseItem = "<Browse...>";
constexpr int ThinLineLowest = 1, ThinLineHighest = 6;
// Contrast and brightness are changes in percent, either way.
constexpr int64_t LevelLowest = -100, LevelHighest = 100;
constexpr const char* DisabledItem = "Disabled";

// A combo box filled from an option: its item texts and the chosen index (-1 none).
struct ChoiceList {
    std::vector<std::string> items;
    int index = -1;
    bool visible = true;
    bool operator==(const ChoiceList&) const = default;
};

// The custom paper fields: their texts and unit, and whether they are shown and editable.
struct PaperFields {
    std::string width = "0.0";
    std::string height = "0.0";
    int units = 0;
    bool shown = true;
    bool editable = false;
    bool operator==(const PaperFields&) const = default;
};

// The state of every option control. Indexes of the fixed combo boxes (emboss quality, ink
// quality, dot height) are -1 when nothing is chosen.
struct PreferencesForm {
    std::vector<std::string> patternItems{BrowseItem, DisabledItem};
    int patternIndex = 1;
    std::string outputPath = DisabledItem; // the output path's text, typed or chosen
    std::string contrast = "0";
    std::string brightness = "0";
    int thinLine = 1;
    bool collate = false;
    bool preview = false;

    bool simplex = true;
    bool interpointVisible = true;

    ChoiceList pageSize{{}, -1, true};
    PaperFields paper;
    CustomSize custom; // the custom size read from the queue, in custom.units
    ChoiceList mediaType{{}, -1, true};

    bool printModeVisible = false;
    bool embossOnly = true;
    bool printOnly = false;
    bool twoInOne = false;

    int brlQuality = -1;
    bool brlQualityVisible = false;
    ChoiceList dotQuality{{}, -1, false};
    int dotHeight = -1;
    bool standardTexts = false;
    ChoiceList brailleSpacing{{}, -1, false};

    bool renderVisible = false;
    bool color = false;
    int inkQuality = -1;
    bool inkQualityVisible = false;
    ChoiceList dithering{{}, -1, false};
    bool outputFaceVisible = false;
    bool faceDown = false;
    bool landscape = false;

    bool operator==(const PreferencesForm&) const = default;
};

// The controls filled from a queue's option list. `lastPatternFile` is the remembered pattern
// file; `current` the custom size and unit the window showed before (kept when the queue has no
// readable custom size).
PreferencesForm fillForm(const std::vector<PrintOption>& options, const std::string& lastPatternFile, const CustomSize& current);

// The custom fields for a size value: the custom size itself when `custom`, else the value's
// standard size.
PaperFields paperFields(std::string_view value, bool custom, const CustomSize& size, bool shown, bool editable);

// The custom fields after the user picks page size `index` (-1: none) of the "PageSize" option.
PaperFields paperFieldsForChoice(const PrintOption& pageSize, int index, const CustomSize& size);

// The custom fields converted into another unit; the custom size follows them.
void changeUnits(PreferencesForm& form, int newUnits);

// A field whose text OK cannot write: the control's object name, the field's name for the message
// (a fixed text the window translates), the text, and the range it must lie in (whole numbers
// from `lowest` to `highest`, or, when not `whole`, any number of `lowest` or more).
struct FieldRefusal {
    std::string field;
    std::string_view label;
    std::string text;
    bool whole = true;
    int64_t lowest = 0, highest = 0;
};
// The first field that holds no number, or one out of its range: contrast and brightness (whole
// numbers from LevelLowest to LevelHighest) and, when they are editable, the custom paper sides.
std::optional<FieldRefusal> checkForm(const PreferencesForm& form);

// The "PrintMode" value the print mode boxes stand for (a hidden box counts as on for emboss and
// off for print).
int printModeValue(const PreferencesForm& form);

// Everything OK does for one queue, in order: the command lines (mirror refresh not included)
// and the pattern file to remember, if one was set.
struct ConfirmPlan {
    std::vector<std::string> commands;
    std::optional<std::string> rememberedPatternFile;
};
ConfirmPlan confirmPlan(std::string_view queue, const std::vector<PrintOption>& options, const PreferencesForm& form);

// The option list as the window uses it: the custom page size moved to the end.
std::vector<PrintOption> windowOptionList(std::vector<PrintOption> options);

// A picked file's path as the driver expects it in "karro-patternfile": percent-encoded, with
// "/" and the characters a URL path allows kept.
std::string percentEncodedPath(std::string_view path);

} // namespace brelmont::preferences
