// The preferences window's decisions without widgets: how a queue's options fill the controls,
// and which command lines OK runs for a given state of the controls.
#include <gtest/gtest.h>

#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"

#include <algorithm>
#include <functional>

using namespace brelmont::preferences;
using Lines = std::vector<std::string>;

namespace {

// clang-format off
const std::string Listing =
    "PageSize/Media Size: Custom.WIDTHxHEIGHT *Letter Legal A4 11X14\nMediaType/Media Type: *Default Plain CustomMedia9\n"
    "EmbossQuality/Emboss Quality: Draft *Normal High\nDotQuality/Dot Quality: *Standard Fine\n"
    "InkQuality/Ink Quality: Draft Normal *Best\nBrailleforce/Dot Height: Low *Medium High\n"
    "BrailleSpacing/Braille Spacing: *Congress National Microbraille Korean Jumbo\nDuplex/Double-Sided: *None DuplexNoTumble\n"
    "ColorModel/Color Mode: *Gray Color\nOutputFace/Output Face: *Up Down\nPrintMode/Print Mode: 0 *1 2 3\n"
    "PageOrientation/Rotate Landscape: Yes *No\nStandardText/Emboss Standard Texts: *True False\n"
    "InkDithering/Dithering: *Diffusion Ordered\nThinLineIntensity/Thin Line Intensity: *3 1 2 4 5 6\n";
// clang-format on
const std::string DuplexOnly = "Duplex/Double-Sided: *None DuplexNoTumble\n";

std::vector<PrintOption> options(const std::string& listing = Listing, const std::string& assignments = "") {
    return windowOptionList(buildOptionList(listing, assignments));
}

// The listing with one option's line replaced.
std::string withLine(const std::string& key, const std::string& line) {
    std::string listing = Listing;
    const size_t from = listing.find(key + "/");
    return listing.replace(from, listing.find('\n', from) - from, line);
}

} // namespace

// Each control's value as the queue's marked choice gives it shows in the lines OK writes for an
// unchanged form (ConfirmPlan's first row); here the page sizes, with the custom size moved last.
TEST(FillForm, ShowsTheQueuesOptions) {
    const PreferencesForm form = fillForm(options(), "", {});
    EXPECT_EQ(form.pageSize, (ChoiceList{{"Letter", "Legal", "A4", "11 x 14 in", "Custom Size"}, 0, true}));
    // The dot heights are listed highest first.
    EXPECT_EQ(fillForm(options(withLine("Brailleforce", "Brailleforce/Dot Height: *Low Medium High")), "", {}).dotHeight, 2);

    // Which controls a queue without the options hides is the window's look; what OK then writes is pinned below.
    const PreferencesForm bare = fillForm(options(DuplexOnly + "ThinLineIntensity/Thin Line Intensity: 1 2 *5 6\n"), "", {});
    EXPECT_EQ(std::tuple(bare.dotHeight, bare.thinLine, bare.pageSize.items.empty()), std::tuple(-1, 5, true));
}

// The print mode boxes from the queue's value and back. (What hidden boxes, for a queue without the
// option, count as is not pinned: nothing writes the value then.)
TEST(PrintMode, BoxesAndValue) {
    // clang-format off
    for (const auto& [current, emboss, print, twoInOne] : {std::tuple{" *0 1 2 3", true, true, false}, {" 0 *1 2 3", true, false, false},
                                                           {" 0 1 *2 3", false, true, false}, {" 0 1 2 *3", true, true, true}}) {
        // clang-format on
        const PreferencesForm form =
            fillForm(options(withLine("PrintMode", std::string("PrintMode/Print Mode:") + current)), "", {});
        EXPECT_EQ(std::tuple(form.embossOnly, form.printOnly, form.twoInOne), std::tuple(emboss, print, twoInOne)) << current;
        EXPECT_EQ(std::to_string(printModeValue(form)),
                  std::string(1, std::string(current).at(std::string(current).find('*') + 1)));
    }
}

TEST(FillForm, PatternFileOutputPathAndCustomSize) {
    const PreferencesForm assigned =
        fillForm(options(Listing, "karro-patternfile=/p/dots.pat karro-outputpath='/tmp/out dir'"), "/p/last.pat", {});
    EXPECT_EQ(assigned.patternItems, (Lines{BrowseItem, DisabledItem, "/p/dots.pat"}));
    EXPECT_EQ(assigned.patternIndex, 2);
    EXPECT_EQ(assigned.outputPath, "/tmp/out dir");
    const PreferencesForm remembered = fillForm(options(), "/p/last.pat", {});
    EXPECT_EQ(remembered.patternItems, (Lines{BrowseItem, DisabledItem, "/p/last.pat"}));
    EXPECT_EQ(remembered.patternIndex, 1);

    // The custom size comes from "media"; without it the listing's placeholder gives no numbers.
    const std::string custom = withLine("PageSize", "PageSize/Media Size: *Custom.WIDTHxHEIGHT Letter A4");
    const PreferencesForm fromMedia = fillForm(options(custom, "media=Custom.21.0x29.7cm"), "", {1, 2, UnitInches});
    EXPECT_EQ(fromMedia.pageSize.index, 2);
    EXPECT_EQ(fromMedia.paper, (PaperFields{"21.0", "29.7", UnitCentimetres, true, true}));
    EXPECT_EQ(fillForm(options(custom), "", {1, 2, UnitInches}).paper, (PaperFields{"0.0", "0.0", UnitPoints, true, true}));
    // A standard size keeps the window's custom size for a later pick of the custom entry.
    EXPECT_EQ(fillForm(options(), "", {8.5, 11, UnitInches}).custom, (CustomSize{8.5, 11, UnitInches}));
}

TEST(PaperFieldsForChoice, StandardCustomAndNone) {
    const PrintOption pageSize{{"Letter", "A4", "Custom.WIDTHxHEIGHT"}, "Media Size", "PageSize", 0};
    const CustomSize custom{8.5, 11, UnitInches};
    // (What the fields show for a standard size is the window's look.)
    EXPECT_EQ(paperFieldsForChoice(pageSize, 2, custom), (PaperFields{"8.5", "11.0", UnitInches, true, true}));

    PreferencesForm form;
    form.paper = {"8.5", "11", UnitInches, true, true};
    changeUnits(form, UnitMillimetres);
    EXPECT_EQ(form.paper, (PaperFields{"215.9", "279.4", UnitMillimetres, true, true}));
    EXPECT_EQ(form.custom.units, UnitMillimetres);
}

// The lines OK writes: the driver reads exactly these. `whole` rows give every line in order,
// the others lines that must be among them.
TEST(ConfirmPlan, WritesTheLinesTheDriverReads) {
    // clang-format off
    const Lines duplexOnlyLines{"lpoptions -p Q -o karro-contrast=0 -o karro-brightness=0", "lpoptions -p Q -r karro-patternfile",
                                "lpoptions -p Q -r karro-outputpath", "lpoptions -p Q -o Duplex=None",
                                "lpoptions -p Q -o collate=true", "lpoptions -p Q -o karro-preview=false"};
    std::string unmarked = withLine("MediaType", "MediaType/Media Type: Default Plain CustomMedia9");
    unmarked.erase(unmarked.find("*Medium"), 1);
    struct Row { const char* name; std::string listing, assignments; std::function<void(PreferencesForm&)> edit; Lines lines; bool whole; };
    const Row rows[] = {
        {"every option in order", Listing, "karro-patternfile=/p/dots.pat", [](PreferencesForm&) {}, {
            "lpoptions -p Q -o karro-contrast=0 -o karro-brightness=0", "lpoptions -p Q -o karro-patternfile=/p/dots.pat",
            "lpoptions -p Q -r karro-outputpath", "lpoptions -p Q -o Duplex=None", "lpoptions -p Q -o collate=true",
            "lpoptions -p Q -o karro-preview=false", "lpoptions -p Q -r media -o PageSize=Letter", "lpoptions -p Q -o MediaType=Default",
            "lpoptions -p Q -o EmbossQuality=Normal", "lpoptions -p Q -o DotQuality=Standard", "lpoptions -p Q -o InkQuality=Best",
            "lpoptions -p Q -o InkDithering=Diffusion", "lpoptions -p Q -o BrailleSpacing=Congress",
            "lpoptions -p Q -o Brailleforce=Medium -o StandardText=True", "lpoptions -p Q -o ColorModel=Gray",
            "lpoptions -p Q -o OutputFace=Up", "lpoptions -p Q -o PrintMode=1", "lpoptions -p Q -o PageOrientation=No",
            "lpoptions -p Q -o ThinLineIntensity=3"}, true},
        {"controls changed", Listing, "", [](PreferencesForm& f) {
             f.contrast = "12abc", f.brightness = "-3", f.outputPath = "/tmp/out", f.simplex = f.collate = f.standardTexts = false;
             f.preview = f.color = f.faceDown = f.landscape = true, f.dotHeight = 2, f.pageSize.index = 4;
             f.paper = {"215.9", "279.4", UnitMillimetres, true, true};
         }, {"lpoptions -p Q -o karro-contrast=12 -o karro-brightness=-3", "lpoptions -p Q -o karro-outputpath=/tmp/out",
             "lpoptions -p Q -o Duplex=DuplexNoTumble", "lpoptions -p Q -o collate=false", "lpoptions -p Q -o karro-preview=true",
             "lpoptions -p Q -o media=Custom.215.9x279.4mm -o PageSize=Custom.215.9x279.4mm",
             "lpoptions -p Q -o Brailleforce=Low -o StandardText=False", "lpoptions -p Q -o ColorModel=Color",
             "lpoptions -p Q -o OutputFace=Down", "lpoptions -p Q -o PageOrientation=Yes"}, false},
        {"a tiny custom size clears the size", Listing, "", [](PreferencesForm& f) {
             f.pageSize.index = 4, f.paper = {"0.5", "11", UnitInches, true, true}; }, {"lpoptions -p Q -r media -r PageSize"}, false},
        {"choices where the queue marks none", unmarked, "", [](PreferencesForm& f) { f.mediaType.index = 2, f.dotHeight = 0; },
         {"lpoptions -p Q -o MediaType=CustomMedia9", "lpoptions -p Q -o Brailleforce=High -o StandardText=True"}, false},
        {"options the queue lacks", DuplexOnly, "", [](PreferencesForm& f) { f.dotHeight = 0, f.mediaType.index = 0; },
         duplexOnlyLines, true},
        {"standard texts alone", "StandardText/Emboss Standard Texts: True *False\n", "", [](PreferencesForm&) {},
         {"lpoptions -p Q -o StandardText=False"}, false},
        {"browse keeps the pattern file", DuplexOnly, "", [](PreferencesForm& f) { f.patternIndex = 0; },
         {duplexOnlyLines[0], duplexOnlyLines[2], duplexOnlyLines[3], duplexOnlyLines[4], duplexOnlyLines[5]}, true},
        {"an empty pattern item", DuplexOnly, "", [](PreferencesForm& f) { f.patternItems.push_back(""), f.patternIndex = 2; },
         duplexOnlyLines, true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<PrintOption> list = options(row.listing, row.assignments);
        PreferencesForm form = fillForm(list, "", {});
        row.edit(form);
        const ConfirmPlan plan = confirmPlan("Q", list, form);
        if (row.whole) { EXPECT_EQ(plan.commands, row.lines); }
        for (const std::string& line : row.lines)
            EXPECT_NE(std::find(plan.commands.begin(), plan.commands.end(), line), plan.commands.end()) << line;
        EXPECT_EQ(plan.rememberedPatternFile.has_value(), !row.assignments.empty());
    }
}

TEST(PercentEncodedPath, KeepsPathCharacters) {
    EXPECT_EQ(percentEncodedPath("/Users/Shared/Brelmont/Patterns/dots.pat"), "/Users/Shared/Brelmont/Patterns/dots.pat");
    EXPECT_EQ(percentEncodedPath("/p/a b%c\xC3\xA9$(x)`y`.pat"), "/p/a%20b%25c%C3%A9$(x)%60y%60.pat");
}
