// What a job asks of the driver: the queue's PPD with its defaults, the queue's mirror file over
// them, and the options of the job itself over both.
#pragma once

#include "driver/ModelProfiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::driver {

enum class PageNumbering { ForText, On, Off };
// "PrintMode": which sheets a print document makes on a model with an ink module.
enum class PrintMode { EmbossAndPrint = 0, EmbossOnly = 1, PrintOnly = 2, TwoInOne = 3 };
// "InkDithering": how a grey ink page becomes black dots.
enum class Dithering { Diffusion, Ordered, Threshold };

struct DriverSettings {
    const ModelProfile* profile = nullptr;
    std::string spacing = "Congress"; // a "BrailleSpacing" value
    std::string table;                // a liblouis table file name
    PageNumbering pageNumbers = PageNumbering::ForText;
    int brailleForce = 1;  // 0 low, 1 medium, 2 high
    int embossQuality = 1; // 0 draft, 1 normal, 2 high
    bool interpoint = false;
    // The sheet and its imageable area in points, from the bottom left corner.
    double paperWidth = 612, paperHeight = 792;
    double left = 0, bottom = 0, right = 612, top = 792;
    std::string pageRanges; // "page-ranges" as given; empty for every page
    bool collate = true;
    bool preview = false;   // "karro-preview": to the companion, not the embosser
    std::string outputPath; // "karro-outputpath": to a file, not the embosser

    // Print documents (PDF): their text, their graphics and, on ink models, their ink page.
    PrintMode printMode = PrintMode::EmbossOnly;
    bool standardText = true; // "StandardText": text as braille; off, it is drawn like the graphics
    int thinLineLevel = 3;    // "ThinLineIntensity": the dot level that keeps lines thinner than a dot
    int contrast = 0;         // "karro-contrast", -100 to 100
    int brightness = 0;       // "karro-brightness", -100 to 100
    std::string patternFile;  // "karro-patternfile"; empty for none
    bool colour = false;      // "ColorModel": the ink page in colour
    int inkQuality = 1;       // "InkQuality": 0 draft, 1 normal, 2 best
    Dithering dithering = Dithering::Diffusion;
};

// Reads the PPD at `ppdPath`, marks its defaults, then the options of `mirrorText` and of
// `jobOptions` (both in the "key=value key='value'" form). None, with `error` set, when the PPD
// cannot be read or names no model of ours.
std::optional<DriverSettings> readDriverSettings(const std::string& ppdPath, const std::string& mirrorText,
                                                 const std::string& jobOptions, std::string* error);

// The pages of "page-ranges" ("1-3,7,10-"): whether page `number` (from 1) is among them. An empty
// text selects every page; none when the text is not a list of ranges.
std::optional<std::vector<std::pair<int64_t, int64_t>>> parsePageRanges(const std::string& text);
bool inRanges(const std::vector<std::pair<int64_t, int64_t>>& ranges, int64_t number);

} // namespace brelmont::driver
