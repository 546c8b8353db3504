// The preferences window's decisions without widgets: how a queue's options fill the controls,
// and which command lines OK runs for a given state of the controls.
#include <gtest/gtest.h>

#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"

#include <algorithm>

using namespace brelmont::preferences;

namespace {

const char* const Listing = "PageSize/Media Size: Custom.WIDTHxHEIGHT *Letter Legal A4 11X14\n"
                            "MediaType/Media Type: *Default Plain CustomMedia9\n"
                            "EmbossQuality/Emboss Quality: Draft *Normal High\n"
                            "DotQuality/Dot Quality: *Standard Fine\n"
                            "InkQuality/Ink Quality: Draft Normal *Best\n"
                            "Brailleforce/Dot Height: Low *Medium High\n"
                            "BrailleSpacing/Braille Spacing: *Congress National Microbraille Korean Jumbo\n"
                            "Duplex/Double-Sided: *None DuplexNoTumble\n"
                            "ColorModel/Color Mode: *Gray Color\n"
                            "OutputFace/Output Face: *Up Down\n"
                            "PrintMode/Print Mode: 0 *1 2 3\n"
                            "PageOrientation/Rotate Landscape: Yes *No\n"
                            "StandardText/Emboss Standard Texts: *True False\n"
                            "InkDithering/Dithering: *Diffusion Ordered\n"
                            "ThinLineIntensity/Thin Line Intensity: *3 1 2 4 5 6\n";

std::vector<PrintOption> options(const std::string& listing = Listing, const std::string& assignments = "") {
    return windowOptionList(buildOptionList(listing, assignments));
}

// The listing with one option's line replaced.
std::string withLine(const std::string& key, const std::string& line) {
    std::string listing = Listing;
    const size_t from = listing.find(key + "/");
    const size_t to = listing.find('\n', from);
    return listing.replace(from, to - from, line);
}

TEST(FillForm, ShowsTheQueuesOptions) {
    const PreferencesForm form = fillForm(options(), "", {});
    EXPECT_EQ(form.pageSize.items, (std::vector<std::string>{"Letter", "Legal", "A4", "11 x 14 in", "Custom Size"}));
    EXPECT_EQ(form.pageSize.index, 0);
    EXPECT_EQ(form.paper, (PaperFields{"8.5", "11.0", UnitInches, true, false}));
    EXPECT_EQ(form.mediaType.items, (std::vector<std::string>{"Printer Setting", "Plain", "Custom Defined 9"}));
    EXPECT_EQ(form.brlQuality, 1);
    EXPECT_TRUE(form.brlQualityVisible);
    EXPECT_EQ(form.dotQuality, (ChoiceList{{"Standard", "Fine"}, 0, true}));
    EXPECT_EQ(form.inkQuality, 2);
    EXPECT_EQ(form.dotHeight, 1);
    EXPECT_EQ(form.brailleSpacing.items.front(), "American Library of Congress");
    EXPECT_TRUE(form.standardTexts);
    EXPECT_TRUE(form.simplex);
    EXPECT_TRUE(form.interpointVisible);
    EXPECT_TRUE(form.renderVisible);
    EXPECT_FALSE(form.color);
    EXPECT_TRUE(form.outputFaceVisible);
    EXPECT_FALSE(form.faceDown);
    EXPECT_FALSE(form.landscape);
    EXPECT_TRUE(form.printModeVisible);
    EXPECT_TRUE(form.embossOnly);
    EXPECT_FALSE(form.printOnly);
    EXPECT_EQ(form.thinLine, 3);
    EXPECT_TRUE(form.collate);
    EXPECT_FALSE(form.preview);
    EXPECT_EQ(form.contrast, "0");
    EXPECT_EQ(form.outputPath, DisabledItem);
    EXPECT_EQ(form.patternItems, (std::vector<std::string>{BrowseItem, DisabledItem}));
    EXPECT_EQ(form.patternIndex, 1);
}

TEST(FillForm, AQueueWithoutTheEmbosserOptionsKeepsTheirControlsHidden) {
    const PreferencesForm form = fillForm(options("Duplex/Double-Sided: *None\n"), "", {});
    EXPECT_FALSE(form.interpointVisible);
    EXPECT_TRUE(form.simplex);
    EXPECT_FALSE(form.brlQualityVisible);
    EXPECT_FALSE(form.dotQuality.visible);
    EXPECT_FALSE(form.brailleSpacing.visible);
    EXPECT_FALSE(form.renderVisible);
    EXPECT_FALSE(form.inkQualityVisible);
    EXPECT_FALSE(form.dithering.visible);
    EXPECT_FALSE(form.outputFaceVisible);
    EXPECT_FALSE(form.printModeVisible);
    EXPECT_EQ(form.dotHeight, -1);
    EXPECT_TRUE(form.pageSize.items.empty());
    EXPECT_EQ(form.thinLine, 1);
    // The queue's current intensity, wherever the listing puts it.
    EXPECT_EQ(fillForm(options("ThinLineIntensity/Thin Line Intensity: 1 2 *5 6\n"), "", {}).thinLine, 5);
}

struct PrintModeCase {
    const char* current;
    bool emboss, print, twoInOne;
};

class PrintModeShown : public ::testing::TestWithParam<PrintModeCase> {};

TEST_P(PrintModeShown, ByValue) {
    const std::string line = std::string("PrintMode/Print Mode:") + GetParam().current;
    const PreferencesForm form = fillForm(options(withLine("PrintMode", line)), "", {});
    EXPECT_TRUE(form.printModeVisible);
    EXPECT_EQ(form.embossOnly, GetParam().emboss);
    EXPECT_EQ(form.printOnly, GetParam().print);
    EXPECT_EQ(form.twoInOne, GetParam().twoInOne);
    // And OK gives the same value back.
    const std::string current = GetParam().current;
    EXPECT_EQ(std::to_string(printModeValue(form)), current.substr(current.find('*') + 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Values, PrintModeShown,
                         ::testing::Values(PrintModeCase{" *0 1 2 3", true, true, false},
                                           PrintModeCase{" 0 *1 2 3", true, false, false},
                                           PrintModeCase{" 0 1 *2 3", false, true, false},
                                           PrintModeCase{" 0 1 2 *3", true, true, true}));

TEST(PrintMode, ValueFromTheVisibleBoxes) {
    PreferencesForm form;
    form.printModeVisible = false; // hidden: emboss counts as on, print as off
    form.printOnly = true;
    form.embossOnly = false;
    EXPECT_EQ(printModeValue(form), 1);
    form.printModeVisible = true;
    EXPECT_EQ(printModeValue(form), 2);
    form.embossOnly = true;
    EXPECT_EQ(printModeValue(form), 0);
    form.printOnly = form.embossOnly = false;
    EXPECT_EQ(printModeValue(form), 0);
    form.twoInOne = true;
    EXPECT_EQ(printModeValue(form), 3);
    form.printModeVisible = false; // two-in-one counts only while the boxes are shown
    EXPECT_EQ(printModeValue(form), 1);
}

TEST(FillForm, DotHeightListsTheValuesReversed) {
    const auto force = [](const char* choices) {
        return fillForm(options(withLine("Brailleforce", std::string("Brailleforce/Dot Height: ") + choices)), "", {});
    };
    const PreferencesForm lowest = force("*Low Medium High");
    EXPECT_EQ(lowest.dotHeight, 2);
    const PreferencesForm highest = force("Low Medium *High");
    EXPECT_EQ(highest.dotHeight, 0);
}

TEST(FillForm, PatternFileAndOutputPath) {
    const PreferencesForm assigned =
        fillForm(options(Listing, "karro-patternfile=/p/dots.pat karro-outputpath='/tmp/out dir'"), "/p/last.pat", {});
    EXPECT_EQ(assigned.patternItems, (std::vector<std::string>{BrowseItem, DisabledItem, "/p/dots.pat"}));
    EXPECT_EQ(assigned.patternIndex, 2);
    EXPECT_EQ(assigned.outputPath, "/tmp/out dir");

    const PreferencesForm remembered = fillForm(options(), "/p/last.pat", {});
    EXPECT_EQ(remembered.patternItems, (std::vector<std::string>{BrowseItem, DisabledItem, "/p/last.pat"}));
    EXPECT_EQ(remembered.patternIndex, 1);
}

TEST(FillForm, CustomSizeFromMediaOrPageSize) {
    const std::string customListing = withLine("PageSize", "PageSize/Media Size: *Custom.WIDTHxHEIGHT Letter A4");
    const PreferencesForm fromMedia = fillForm(options(customListing, "media=Custom.21.0x29.7cm"), "", {1, 2, UnitInches});
    EXPECT_EQ(fromMedia.pageSize.index, 2);
    EXPECT_EQ(fromMedia.paper, (PaperFields{"21.0", "29.7", UnitCentimetres, true, true}));
    EXPECT_EQ(fromMedia.custom, (CustomSize{21, 29.7, UnitCentimetres}));

    // Without "media" the listing's own placeholder gives no numbers, in points.
    const PreferencesForm fromPageSize = fillForm(options(customListing), "", {1, 2, UnitInches});
    EXPECT_EQ(fromPageSize.paper, (PaperFields{"0.0", "0.0", UnitPoints, true, true}));

    // A standard size keeps the custom size the window had for a later pick of the custom entry.
    const PreferencesForm standard = fillForm(options(), "", {8.5, 11, UnitInches});
    EXPECT_EQ(standard.custom, (CustomSize{8.5, 11, UnitInches}));
}

TEST(PaperFieldsForChoice, StandardCustomAndNone) {
    const PrintOption pageSize{{"Letter", "A4", "Custom.WIDTHxHEIGHT"}, "Media Size", "PageSize", 0};
    const CustomSize custom{8.5, 11, UnitInches};
    EXPECT_EQ(paperFieldsForChoice(pageSize, 1, custom), (PaperFields{"21.0", "29.7", UnitCentimetres, true, false}));
    EXPECT_EQ(paperFieldsForChoice(pageSize, 2, custom), (PaperFields{"8.5", "11.0", UnitInches, true, true}));
    EXPECT_EQ(paperFieldsForChoice(pageSize, -1, custom), (PaperFields{"8.5", "11.0", UnitInches, true, false}));
    EXPECT_EQ(paperFieldsForChoice(PrintOption{}, -1, custom), (PaperFields{"8.5", "11.0", UnitInches, true, true}));
    const PrintOption onlyCustom{{"Custom.WIDTHxHEIGHT"}, "Media Size", "PageSize", 0};
    EXPECT_FALSE(paperFieldsForChoice(onlyCustom, 0, custom).shown);
    // Without a custom choice the last size is a size like any other.
    const PrintOption noCustom{{"Letter", "A4"}, "Media Size", "PageSize", 0};
    EXPECT_EQ(paperFieldsForChoice(noCustom, 1, custom), (PaperFields{"21.0", "29.7", UnitCentimetres, true, false}));
}

TEST(ChangeUnits, ConvertsTheFieldsAndTheCustomSize) {
    PreferencesForm form;
    form.paper = {"8.5", "11", UnitInches, true, true};
    changeUnits(form, UnitMillimetres);
    EXPECT_EQ(form.paper.width, "215.9");
    EXPECT_EQ(form.paper.height, "279.4");
    EXPECT_EQ(form.paper.units, UnitMillimetres);
    EXPECT_EQ(form.custom.units, UnitMillimetres);
    changeUnits(form, UnitInches);
    EXPECT_EQ(form.paper.width, "8.5");
    EXPECT_EQ(form.paper.height, "11.0");
}

std::vector<std::string> planFor(const PreferencesForm& form, const std::vector<PrintOption>& list = options()) {
    return confirmPlan("Q", list, form).commands;
}

TEST(ConfirmPlan, WritesEveryOptionInOrder) {
    const std::vector<PrintOption> list = options(Listing, "karro-patternfile=/p/dots.pat");
    const PreferencesForm form = fillForm(list, "", {});
    const ConfirmPlan plan = confirmPlan("Q", list, form);
    EXPECT_EQ(plan.commands, (std::vector<std::string>{
                                 "lpoptions -p Q -o karro-contrast=0 -o karro-brightness=0",
                                 "lpoptions -p Q -o karro-patternfile=/p/dots.pat",
                                 "lpoptions -p Q -r karro-outputpath",
                                 "lpoptions -p Q -o Duplex=None",
                                 "lpoptions -p Q -o collate=true",
                                 "lpoptions -p Q -o karro-preview=false",
                                 "lpoptions -p Q -r media -o PageSize=Letter",
                                 "lpoptions -p Q -o MediaType=Default",
                                 "lpoptions -p Q -o EmbossQuality=Normal",
                                 "lpoptions -p Q -o DotQuality=Standard",
                                 "lpoptions -p Q -o InkQuality=Best",
                                 "lpoptions -p Q -o InkDithering=Diffusion",
                                 "lpoptions -p Q -o BrailleSpacing=Congress",
                                 "lpoptions -p Q -o Brailleforce=Medium -o StandardText=True",
                                 "lpoptions -p Q -o ColorModel=Gray",
                                 "lpoptions -p Q -o OutputFace=Up",
                                 "lpoptions -p Q -o PrintMode=1",
                                 "lpoptions -p Q -o PageOrientation=No",
                                 "lpoptions -p Q -o ThinLineIntensity=3",
                             }));
    EXPECT_EQ(plan.rememberedPatternFile, "/p/dots.pat");
}

TEST(ConfirmPlan, ControlsChangedByTheUser) {
    PreferencesForm form = fillForm(options(), "", {});
    form.contrast = "12abc";
    form.brightness = "-3";
    form.outputPath = "/tmp/out";
    form.simplex = false;
    form.collate = false;
    form.preview = true;
    form.pageSize.index = 4; // the custom entry
    form.paper = {"215.9", "279.4", UnitMillimetres, true, true};
    form.dotHeight = 2;
    form.standardTexts = false;
    form.color = true;
    form.faceDown = true;
    form.landscape = true;
    const std::vector<std::string> commands = planFor(form);
    for (const char* expected :
         {"lpoptions -p Q -o karro-contrast=12 -o karro-brightness=-3", "lpoptions -p Q -o karro-outputpath=/tmp/out",
          "lpoptions -p Q -o Duplex=DuplexNoTumble", "lpoptions -p Q -o collate=false",
          "lpoptions -p Q -o karro-preview=true",
          "lpoptions -p Q -o media=Custom.215.9x279.4mm -o PageSize=Custom.215.9x279.4mm",
          "lpoptions -p Q -o Brailleforce=Low -o StandardText=False", "lpoptions -p Q -o ColorModel=Color",
          "lpoptions -p Q -o OutputFace=Down", "lpoptions -p Q -o PageOrientation=Yes"})
        EXPECT_NE(std::find(commands.begin(), commands.end(), expected), commands.end()) << expected;
}

TEST(ConfirmPlan, PatternPicker) {
    PreferencesForm form = fillForm(options(), "", {});
    form.patternIndex = 0; // "<Browse...>": the pattern file stays as it was
    const std::vector<std::string> browsing = planFor(form);
    EXPECT_TRUE(std::none_of(browsing.begin(), browsing.end(),
                             [](const std::string& c) { return c.find("karro-patternfile") != std::string::npos; }));
    form.patternIndex = 1;
    EXPECT_EQ(planFor(form)[1], "lpoptions -p Q -r karro-patternfile");
    form.patternItems.push_back("");
    form.patternIndex = 2;
    EXPECT_EQ(planFor(form)[1], "lpoptions -p Q -r karro-patternfile");
    EXPECT_FALSE(confirmPlan("Q", options(), form).rememberedPatternFile);
}

TEST(ConfirmPlan, TinyCustomSizeClearsThePaperSize) {
    PreferencesForm form = fillForm(options(), "", {});
    form.pageSize.index = 4;
    form.paper = {"0.5", "11", UnitInches, true, true};
    const std::vector<std::string> commands = planFor(form);
    EXPECT_NE(std::find(commands.begin(), commands.end(), "lpoptions -p Q -r media -r PageSize"), commands.end());
}

TEST(ConfirmPlan, OptionsTheQueueLacksAreNotWritten) {
    const std::vector<PrintOption> list = options("Duplex/Double-Sided: *None DuplexNoTumble\n");
    PreferencesForm form = fillForm(list, "", {});
    form.dotHeight = 0;
    form.mediaType.index = 0;
    EXPECT_EQ(planFor(form, list), (std::vector<std::string>{
                                       "lpoptions -p Q -o karro-contrast=0 -o karro-brightness=0",
                                       "lpoptions -p Q -r karro-patternfile",
                                       "lpoptions -p Q -r karro-outputpath",
                                       "lpoptions -p Q -o Duplex=None",
                                       "lpoptions -p Q -o collate=true",
                                       "lpoptions -p Q -o karro-preview=false",
                                   }));
    // Only one of the pair present: it is written alone.
    const std::vector<PrintOption> textOnly = options("StandardText/Emboss Standard Texts: True *False\n");
    EXPECT_EQ(planFor(fillForm(textOnly, "", {}), textOnly).back(), "lpoptions -p Q -o StandardText=False");
}

TEST(ConfirmPlan, ChoicesPickedWhereTheQueueMarksNoneAreWritten) {
    std::string listing = withLine("MediaType", "MediaType/Media Type: Default Plain CustomMedia9");
    listing = listing.replace(listing.find("Low *Medium"), 11, "Low Medium");
    listing = listing.replace(listing.find("*True False"), 11, "True False");
    const std::vector<PrintOption> list = options(listing);
    PreferencesForm form = fillForm(list, "", {});
    ASSERT_EQ(form.mediaType.index, -1);
    ASSERT_EQ(form.dotHeight, -1);
    form.mediaType.index = 2;
    form.dotHeight = 0;
    const std::vector<std::string> commands = planFor(form, list);
    for (const char* expected :
         {"lpoptions -p Q -o MediaType=CustomMedia9", "lpoptions -p Q -o Brailleforce=High -o StandardText=False"})
        EXPECT_NE(std::find(commands.begin(), commands.end(), expected), commands.end()) << expected;
}

TEST(ConfirmPlan, BrailleforceAtIndexZeroRoundTrips) {
    const std::vector<PrintOption> list = options(withLine("Brailleforce", "Brailleforce/Dot Height: *Low Medium High"));
    const std::vector<std::string> commands = planFor(fillForm(list, "", {}), list);
    EXPECT_NE(std::find(commands.begin(), commands.end(), "lpoptions -p Q -o Brailleforce=Low -o StandardText=True"),
              commands.end());
}

TEST(ConfirmPlan, HostileValuesAreQuoted) {
    PreferencesForm form = fillForm(options(), "", {});
    form.outputPath = "$(touch pwned) x";
    form.patternItems.push_back("/p/a'b;c.pat");
    form.patternIndex = 2;
    const std::vector<std::string> commands = confirmPlan("Q;x", options(), form).commands;
    EXPECT_EQ(commands[1], "lpoptions -p 'Q;x' -o 'karro-patternfile='\\''/p/a\\'\\''b;c.pat'\\'''");
    EXPECT_EQ(commands[2], "lpoptions -p 'Q;x' -o 'karro-outputpath='\\''$(touch pwned) x'\\'''");
}

TEST(PercentEncodedPath, KeepsPathCharacters) {
    EXPECT_EQ(percentEncodedPath("/Users/Shared/Brelmont/Patterns/dots.pat"), "/Users/Shared/Brelmont/Patterns/dots.pat");
    EXPECT_EQ(percentEncodedPath("/p/a b%c.pat"), "/p/a%20b%25c.pat");
    EXPECT_EQ(percentEncodedPath("/p/\xC3\xA9t\xC3\xA9.pat"), "/p/%C3%A9t%C3%A9.pat");
    EXPECT_EQ(percentEncodedPath("/p/$(x)`y`"), "/p/$(x)%60y%60");
}

} // namespace
