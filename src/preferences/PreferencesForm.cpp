#include "preferences/PreferencesForm.h"

#include "preferences/DisplayNames.h"
#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "printer/PercentCoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <tuple>

namespace brelmont::preferences {

namespace {

bool present(const PrintOption& option) { return option.selected >= 0; }

// The queue lists the option at all, whether or not one of its choices is marked current. OK
// writes media type, dot height and standard texts whenever they are listed: the user may have
// picked a choice where the queue marks none.
bool offered(const PrintOption& option) { return !option.key.empty(); }

// The chosen value, or none when `selected` does not point into the values.
std::optional<std::string> valueAt(const PrintOption& option, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(option.values.size())) return std::nullopt;
    return option.values[static_cast<size_t>(index)];
}

std::string currentValue(const PrintOption& option) { return valueAt(option, option.selected).value_or(""); }

int clampedIndex(int64_t index, int64_t highest) { return static_cast<int>(std::min(index, highest)); }

// A combo box listing the option's values by display name, the current one chosen.
ChoiceList listed(const PrintOption& option, int index, bool visible) {
    ChoiceList list;
    for (const std::string& value : option.values) list.items.push_back(displayName(option.key, value));
    list.index = index < static_cast<int>(list.items.size()) ? index : -1;
    list.visible = visible;
    return list;
}

std::string firstValue(const PrintOption& option) { return option.values.empty() ? "" : option.values.front(); }

// The second value, or the first for an option that has only one.
std::string secondValue(const PrintOption& option) { return option.values.size() > 1 ? option.values[1] : firstValue(option); }

void fillPaper(PreferencesForm& form, const std::vector<PrintOption>& options) {
    const PrintOption pageSize = findOption(options, "PageSize");
    form.pageSize = listed(pageSize, static_cast<int>(pageSize.selected), true);
    const std::string current = currentValue(pageSize);
    form.paper = paperFields(current, false, form.custom, true, false);
    if (!present(pageSize) || pageSize.selected != customEntryIndex(pageSize)) return;

    // The custom size comes from "media", which only a custom size sets, else from "PageSize".
    const PrintOption media = findOption(options, "media");
    if (const auto size = parseCustomSize(present(media) ? currentValue(media) : current)) form.custom = *size;
    form.paper = paperFields("", true, form.custom, true, true);
}

void fillPrintMode(PreferencesForm& form, const PrintOption& printMode) {
    if (!present(printMode) || printMode.values.size() < 2) return;
    const int64_t mode = leadingInteger(currentValue(printMode));
    form.printModeVisible = true;
    form.embossOnly = mode == 0 || mode == 1 || mode == 3;
    form.printOnly = mode == 0 || mode == 2 || mode == 3;
    form.twoInOne = mode == 3;
}

void fillBraille(PreferencesForm& form, const std::vector<PrintOption>& options) {
    const PrintOption quality = findOption(options, "EmbossQuality");
    if (present(quality)) {
        form.brlQuality = clampedIndex(quality.selected, 2);
        form.brlQualityVisible = true;
    }
    const PrintOption dotQuality = findOption(options, "DotQuality");
    if (present(dotQuality)) form.dotQuality = listed(dotQuality, static_cast<int>(dotQuality.selected), true);
    // The dot heights are listed highest first: value 0 is the last item.
    const PrintOption force = findOption(options, "Brailleforce");
    if (present(force) && force.selected <= 2) form.dotHeight = static_cast<int>(2 - force.selected);
    const PrintOption standardText = findOption(options, "StandardText");
    if (present(standardText)) form.standardTexts = standardText.selected == 0;
    const PrintOption spacing = findOption(options, "BrailleSpacing");
    if (present(spacing)) form.brailleSpacing = listed(spacing, clampedIndex(spacing.selected, 4), true);
}

void fillInk(PreferencesForm& form, const std::vector<PrintOption>& options) {
    for (const char* key : {"ColorModel", "print-color-mode"}) {
        const PrintOption colour = findOption(options, key);
        if (!present(colour)) continue;
        form.color = lowerCase(currentValue(colour)) == "color";
        form.renderVisible = true;
    }
    const PrintOption inkQuality = findOption(options, "InkQuality");
    if (present(inkQuality)) {
        form.inkQuality = static_cast<int>(inkQuality.selected);
        form.inkQualityVisible = true;
    }
    const PrintOption dithering = findOption(options, "InkDithering");
    if (present(dithering)) form.dithering = listed(dithering, static_cast<int>(dithering.selected), true);
    const PrintOption face = findOption(options, "OutputFace");
    if (present(face)) {
        form.faceDown = lowerCase(currentValue(face)) == "down";
        form.outputFaceVisible = true;
    }
    const PrintOption orientation = findOption(options, "PageOrientation");
    if (present(orientation)) form.landscape = lowerCase(currentValue(orientation)) == "yes";
}

// A whole decimal number ("8.5", "-2", "11"), nothing before or after it.
std::optional<double> parseDecimal(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

PreferencesForm fillForm(const std::vector<PrintOption>& options, const std::string& lastPatternFile, const CustomSize& current) {
    PreferencesForm form;
    form.custom = current;

    const std::string pattern = currentValue(findOption(options, "karro-patternfile"));
    if (!pattern.empty()) {
        form.patternItems.push_back(pattern);
        form.patternIndex = 2;
    } else if (!lastPatternFile.empty()) {
        form.patternItems.push_back(lastPatternFile);
    }
    const std::string outputPath = currentValue(findOption(options, "karro-outputpath"));
    form.outputPath = outputPath.empty() ? DisabledItem : outputPath;
    form.contrast = firstValue(findOption(options, "karro-contrast"));
    form.brightness = firstValue(findOption(options, "karro-brightness"));
    if (form.contrast.empty()) form.contrast = "0";
    if (form.brightness.empty()) form.brightness = "0";
    // The queue's current intensity (the first listed value is only where the description lists
    // its default first).
    const PrintOption thinLine = findOption(options, "ThinLineIntensity");
    const int64_t intensity = leadingInteger(present(thinLine) ? currentValue(thinLine) : firstValue(thinLine));
    form.thinLine = static_cast<int>(std::clamp<int64_t>(intensity, ThinLineLowest, ThinLineHighest));
    form.collate = currentValue(findOption(options, "collate")) == "true";
    form.preview = currentValue(findOption(options, "karro-preview")) == "true";

    const PrintOption duplex = findOption(options, "Duplex");
    form.interpointVisible = duplex.values.size() != 1;
    form.simplex = duplex.values.size() == 1 || duplex.selected == 0;

    fillPaper(form, options);
    const PrintOption media = findOption(options, "MediaType");
    form.mediaType = listed(media, static_cast<int>(media.selected), true);
    fillPrintMode(form, findOption(options, "PrintMode"));
    fillBraille(form, options);
    fillInk(form, options);
    return form;
}

PaperFields paperFields(std::string_view value, bool custom, const CustomSize& size, bool shown, bool editable) {
    PaperFields fields;
    if (custom) {
        fields.width = fieldText(size.width);
        fields.height = fieldText(size.height);
        fields.units = size.units;
    } else {
        const StandardPaperSize standard = standardPaperSize(value);
        fields.width = standard.width;
        fields.height = standard.height;
        fields.units = standard.units;
    }
    fields.shown = shown;
    fields.editable = editable;
    return fields;
}

PaperFields paperFieldsForChoice(const PrintOption& pageSize, int index, const CustomSize& size) {
    const int count = static_cast<int>(pageSize.values.size());
    if (index < 0 || index >= count) return paperFields("", true, size, true, count == 0);
    if (index == customEntryIndex(pageSize)) return paperFields("", true, size, index != 0, true);
    return paperFields(pageSize.values[static_cast<size_t>(index)], false, size, true, false);
}

void changeUnits(PreferencesForm& form, int newUnits) {
    const int oldUnits = form.paper.units;
    form.custom.width = convertUnits(leadingDecimal(form.paper.width), oldUnits, newUnits);
    form.custom.height = convertUnits(leadingDecimal(form.paper.height), oldUnits, newUnits);
    form.custom.units = newUnits;
    form.paper.width = fieldText(form.custom.width);
    form.paper.height = fieldText(form.custom.height);
    form.paper.units = newUnits;
}

std::optional<FieldRefusal> checkForm(const PreferencesForm& form) {
    for (const auto& [field, label, text] :
         {std::tuple{"m_contrast", BRELMONT_TRANSLATABLE("Brelmont", "Contrast"), form.contrast},
          std::tuple{"m_brightness", BRELMONT_TRANSLATABLE("Brelmont", "Brightness"), form.brightness}}) {
        const std::optional<int64_t> value = parseDecimalInteger(trimWhiteSpace(text));
        if (!value || *value < LevelLowest || *value > LevelHighest)
            return FieldRefusal{field, label, text, true, LevelLowest, LevelHighest};
    }
    if (form.paper.shown && form.paper.editable) {
        for (const auto& [field, label, text] :
             {std::tuple{"m_customWidth", BRELMONT_TRANSLATABLE("Brelmont", "The custom paper width"), form.paper.width},
              std::tuple{"m_customHeight", BRELMONT_TRANSLATABLE("Brelmont", "The custom paper height"), form.paper.height}}) {
            const std::optional<double> value = parseDecimal(trimWhiteSpace(text));
            if (!value || *value < 0) return FieldRefusal{field, label, text, false, 0, 0};
        }
    }
    return std::nullopt;
}

int printModeValue(const PreferencesForm& form) {
    if (form.printModeVisible && form.twoInOne) return 3;
    const bool emboss = !form.printModeVisible || form.embossOnly;
    const bool print = form.printModeVisible && form.printOnly;
    if (print && !emboss) return 2;
    if (emboss && !print) return 1;
    return 0;
}

ConfirmPlan confirmPlan(std::string_view queue, const std::vector<PrintOption>& options, const PreferencesForm& form) {
    ConfirmPlan plan;
    std::vector<std::string>& out = plan.commands;
    const auto option = [&](const char* key) { return findOption(options, key); };
    // "Set KEY to the value at INDEX" for an option the queue has (`has` says what that takes).
    const auto setChosen = [&](const char* key, int64_t index, bool (*has)(const PrintOption&) = present) {
        const PrintOption o = option(key);
        if (!has(o)) return;
        if (const auto value = valueAt(o, index)) out.push_back(commands::setOption(queue, key, *value));
    };

    out.push_back(commands::setContrastAndBrightness(queue, leadingInteger(form.contrast), leadingInteger(form.brightness)));

    const std::string pattern = form.patternIndex >= 0 && form.patternIndex < static_cast<int>(form.patternItems.size())
                                    ? form.patternItems[static_cast<size_t>(form.patternIndex)]
                                    : std::string();
    if (pattern == DisabledItem || pattern.empty()) {
        out.push_back(commands::removeOption(queue, "karro-patternfile"));
    } else if (pattern != BrowseItem) {
        out.push_back(commands::setOption(queue, "karro-patternfile", pattern));
        plan.rememberedPatternFile = pattern;
    }

    if (form.outputPath == DisabledItem) out.push_back(commands::removeOption(queue, "karro-outputpath"));
    else out.push_back(commands::setOption(queue, "karro-outputpath", form.outputPath));

    const PrintOption duplex = option("Duplex");
    if (present(duplex))
        out.push_back(commands::setOption(queue, "Duplex", form.simplex ? firstValue(duplex) : secondValue(duplex)));
    out.push_back(commands::setOption(queue, "collate", form.collate ? "true" : "false"));
    out.push_back(commands::setOption(queue, "karro-preview", form.preview ? "true" : "false"));

    const PrintOption pageSize = option("PageSize");
    if (form.pageSize.index >= 0 && form.pageSize.index == customEntryIndex(pageSize)) {
        out.push_back(commands::setCustomPaperSize(queue, leadingDecimal(form.paper.width), leadingDecimal(form.paper.height),
                                                   form.paper.units));
    } else if (const auto value = valueAt(pageSize, form.pageSize.index)) {
        out.push_back(commands::setStandardPaperSize(queue, pageSize.key, *value));
    }

    setChosen("MediaType", form.mediaType.index, offered);
    setChosen("EmbossQuality", form.brlQuality);
    setChosen("DotQuality", form.dotQuality.index);
    setChosen("InkQuality", form.inkQuality);
    setChosen("InkDithering", form.dithering.index);
    setChosen("BrailleSpacing", form.brailleSpacing.index);

    // Dot height and standard texts go in one command; either is left out when the queue lacks it.
    const PrintOption force = option("Brailleforce");
    const PrintOption standardText = option("StandardText");
    const std::optional<std::string> forceValue =
        offered(force) && form.dotHeight >= 0 ? valueAt(force, 2 - form.dotHeight) : std::nullopt;
    const std::optional<std::string> textValue =
        offered(standardText) && !standardText.values.empty()
            ? std::optional(form.standardTexts ? firstValue(standardText) : secondValue(standardText))
            : std::nullopt;
    if (forceValue && textValue)
        out.push_back(commands::setTwoOptions(queue, "Brailleforce", *forceValue, "StandardText", *textValue));
    else if (forceValue) out.push_back(commands::setOption(queue, "Brailleforce", *forceValue));
    else if (textValue) out.push_back(commands::setOption(queue, "StandardText", *textValue));

    const PrintOption colour = option("ColorModel");
    if (present(colour))
        out.push_back(commands::setOption(queue, "ColorModel", form.color ? secondValue(colour) : firstValue(colour)));
    const PrintOption face = option("OutputFace");
    if (present(face))
        out.push_back(commands::setOption(queue, "OutputFace", form.faceDown ? secondValue(face) : firstValue(face)));
    if (present(option("PrintMode")))
        out.push_back(commands::setOption(queue, "PrintMode", std::to_string(printModeValue(form))));
    const PrintOption orientation = option("PageOrientation");
    if (present(orientation))
        out.push_back(
            commands::setOption(queue, "PageOrientation", form.landscape ? firstValue(orientation) : secondValue(orientation)));
    const PrintOption thinLine = option("ThinLineIntensity");
    const std::string intensity = std::to_string(form.thinLine);
    if (offered(thinLine) && std::find(thinLine.values.begin(), thinLine.values.end(), intensity) != thinLine.values.end())
        out.push_back(commands::setOption(queue, "ThinLineIntensity", intensity));
    return plan;
}

std::vector<PrintOption> windowOptionList(std::vector<PrintOption> options) {
    for (PrintOption& option : options)
        if (option.key == "PageSize") option = withCustomSizeLast(std::move(option));
    return options;
}

std::string percentEncodedPath(std::string_view path) {
    // Everything a URL path cannot hold as it stands; letters, digits and "-._~/!$&'()*+,;=:@" stay.
    return printer::percentEncode(path, "\"#<>?[\\]^`{|}");
}

} // namespace brelmont::preferences
