#include "driver/options/DriverSettings.h"

#include "driver/braille/BrailleTables.h"
#include "printer/PercentCoding.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace brelmont::driver {

namespace {

struct PpdClose {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

// The options of one "key=value ..." text, freed with the holder.
class Options {
public:
    explicit Options(const std::string& text) { m_count = cupsParseOptions(text.c_str(), 0, &m_options); }
    ~Options() { cupsFreeOptions(m_count, m_options); }
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;

    void mark(ppd_file_t* ppd) const { cupsMarkOptions(ppd, m_count, m_options); }
    const char* get(const char* key) const { return cupsGetOption(key, m_count, m_options); }

private:
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};

std::string marked(ppd_file_t* ppd, const char* keyword) {
    const ppd_choice_t* choice = ppdFindMarkedChoice(ppd, keyword);
    return choice ? choice->choice : "";
}

// The index of the marked choice among the option's choices; `fallback` when the PPD lacks it.
int markedIndex(ppd_file_t* ppd, const char* keyword, int fallback) {
    ppd_option_t* option = ppdFindOption(ppd, keyword);
    const ppd_choice_t* choice = ppdFindMarkedChoice(ppd, keyword);
    if (!option || !choice) return fallback;
    return int(choice - option->choices);
}

// A whole number, brought into [low, high]; `fallback` for a text that is not one.
int numberIn(const char* text, int low, int high, int fallback) {
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return *end ? fallback : int(std::clamp<long>(n, low, high));
}

bool isTrue(const char* value) {
    return value && (!strcasecmp(value, "true") || !strcasecmp(value, "yes") || !strcasecmp(value, "on") || !strcmp(value, "1"));
}

} // namespace

std::optional<DriverSettings> readDriverSettings(const std::string& ppdPath, const std::string& mirrorText,
                                                 const std::string& jobOptions, std::string* error) {
    std::unique_ptr<ppd_file_t, PpdClose> ppd(ppdOpenFile(ppdPath.c_str()));
    if (!ppd) {
        int line = 0;
        *error = "the queue's PPD " + ppdPath + " cannot be read: " + ppdErrorString(ppdLastError(&line));
        return std::nullopt;
    }
    DriverSettings s;
    s.profile = profileByMakeAndModel(ppd->nickname ? ppd->nickname : "");
    if (!s.profile) {
        *error =
            std::string("the queue's PPD names no embosser of this driver (\"") + (ppd->nickname ? ppd->nickname : "") + "\")";
        return std::nullopt;
    }
    const Options mirror(mirrorText), job(jobOptions);
    ppdMarkDefaults(ppd.get());
    mirror.mark(ppd.get());
    job.mark(ppd.get());

    if (s.profile->ink != InkForm::None)
        s.printMode = PrintMode(numberIn(marked(ppd.get(), "PrintMode").c_str(), 0, 3, int(PrintMode::EmbossOnly)));
    s.standardText = marked(ppd.get(), "StandardText") != "False";
    s.thinLineLevel = numberIn(marked(ppd.get(), "ThinLineIntensity").c_str(), 1, 6, 3);
    s.colour = marked(ppd.get(), "ColorModel") == "Color";
    s.inkQuality = markedIndex(ppd.get(), "InkQuality", 1);
    const std::string dithering = marked(ppd.get(), "InkDithering");
    s.dithering = dithering == "Ordered"     ? Dithering::Ordered
                  : dithering == "Threshold" ? Dithering::Threshold
                                             : Dithering::Diffusion;
    if (const std::string spacing = marked(ppd.get(), "BrailleSpacing"); !spacing.empty()) s.spacing = spacing;
    s.table = marked(ppd.get(), "BrailleTable");
    if (s.table.empty()) s.table = DefaultBrailleTable;
    const std::string numbers = marked(ppd.get(), "BraillePageNumbers");
    s.pageNumbers = numbers == "On" ? PageNumbering::On : numbers == "Off" ? PageNumbering::Off : PageNumbering::ForText;
    s.brailleForce = markedIndex(ppd.get(), "Brailleforce", 1);
    s.embossQuality = markedIndex(ppd.get(), "EmbossQuality", 1);
    s.interpoint = marked(ppd.get(), "Duplex").rfind("Duplex", 0) == 0;
    if (const ppd_size_t* size = ppdPageSize(ppd.get(), nullptr)) {
        s.paperWidth = size->width, s.paperHeight = size->length;
        s.left = size->left, s.bottom = size->bottom, s.right = size->right, s.top = size->top;
    }

    // The job's own options win over the mirror's.
    const auto value = [&](const char* key) -> const char* {
        const char* v = job.get(key);
        return v ? v : mirror.get(key);
    };
    // Marking ignores a table the PPD does not list, which would emboss the job in the default
    // table unasked; the name as given is opened instead, and refused when liblouis lacks it.
    if (const char* table = value("BrailleTable")) s.table = table;
    if (const char* ranges = job.get("page-ranges")) s.pageRanges = ranges;
    if (const char* collate = value("collate")) s.collate = isTrue(collate);
    if (const char* multiple = job.get("multiple-document-handling"))
        s.collate = std::strcmp(multiple, "separate-documents-uncollated-copies") != 0;
    s.preview = isTrue(value("karro-preview"));
    if (const char* path = value("karro-outputpath"); path && std::strcmp(path, "Disabled") != 0) s.outputPath = path;
    s.contrast = numberIn(value("karro-contrast"), -100, 100, 0);
    s.brightness = numberIn(value("karro-brightness"), -100, 100, 0);
    if (const char* pattern = value("karro-patternfile"); pattern && std::strcmp(pattern, "Disabled") != 0)
        s.patternFile = printer::percentDecode(pattern); // the preferences window writes it as a URL path
    return s;
}

std::optional<std::vector<std::pair<int64_t, int64_t>>> parsePageRanges(const std::string& text) {
    std::vector<std::pair<int64_t, int64_t>> ranges;
    if (text.empty()) return ranges;
    size_t at = 0;
    const auto number = [&](int64_t& out) {
        const size_t start = at;
        out = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && out < 1'000'000'000) out = out * 10 + (text[at++] - '0');
        return at > start;
    };
    while (at < text.size()) {
        int64_t first = 0, last = 0;
        const bool hasFirst = number(first);
        if (at < text.size() && text[at] == '-') {
            ++at;
            if (!number(last)) last = INT64_MAX;
            if (!hasFirst) first = 1;
        } else if (hasFirst) {
            last = first;
        } else {
            return std::nullopt;
        }
        if (first < 1 || last < first) return std::nullopt;
        ranges.emplace_back(first, last);
        if (at < text.size() && text[at++] != ',') return std::nullopt;
    }
    return ranges;
}

bool inRanges(const std::vector<std::pair<int64_t, int64_t>>& ranges, int64_t number) {
    if (ranges.empty()) return true;
    for (const auto& [first, last] : ranges)
        if (number >= first && number <= last) return true;
    return false;
}

} // namespace brelmont::driver
